// A stand-in for the chat program's group window, run by the chat-road tests as a process of its own:
// tavrel_chatstub --group TITLE --sent DIR --inbox DIR. A read-only history on top (each message
// after a line "sender hh:mm:ss", newest last), reached by Tab from the input or a click at the
// window's centre; an input below, focused whenever the window comes back; Alt+S sends the input
// under "我" and writes it whole, in UTF-8, to DIR/0001.txt, 0002.txt, ... Every 100 ms the inbox's
// *.msg files (renamed there when whole) are shown in name order as messages of "张三" and removed.
// A *.late file holding milliseconds makes the window slow to come forward from then on, as under a
// busy window manager: an activation goes to a small window of the stub's own and the window comes
// forward by itself that much later; -1 never lets it come forward, 0 ends the delays.
#include "platform/windowsystem.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

class ChatWindow : public QWidget
{
public:
    ChatWindow(const QString& group, const QString& sentDir, const QString& inboxDir)
        : m_sentDir(sentDir), m_inboxDir(inboxDir)
    {
        setWindowTitle(group);
        resize(520, 440);
        m_history->setReadOnly(true);
        m_history->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        m_history->setFocusPolicy(Qt::StrongFocus);
        m_input->setTabChangesFocus(true);
        auto* send = new QPushButton(QStringLiteral("发送(&S)"), this);
        // The button never takes the focus, so Tab goes from the input straight to the history.
        send->setFocusPolicy(Qt::NoFocus);
        connect(send, &QPushButton::clicked, this, [this] { sendInput(); });

        // The history takes two thirds of the height, so the window's centre lies inside it.
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_history, 2);
        layout->addWidget(m_input, 1);
        layout->addWidget(send, 0, Qt::AlignRight);
        setTabOrder(m_input, m_history);
        m_input->setFocus();
        winId(); // the native window, whose leaving the screen is watched below
        windowHandle()->installEventFilter(this);

        QDir().mkpath(sentDir);
        QDir().mkpath(inboxDir);
        connect(&m_inboxTimer, &QTimer::timeout, this, [this] { readInbox(); });
        m_inboxTimer.start(100);
    }

protected:
    bool event(QEvent* event) override
    {
        // As the chat program does: coming back puts the cursor into the input.
        if (event->type() == QEvent::WindowActivate && m_lateMs != 0)
            refuseActivation();
        else if (event->type() == QEvent::WindowActivate)
            m_input->setFocus(Qt::ActiveWindowFocusReason);
        return QWidget::event(event);
    }
    // A quick switch away and back, a minimise and restore among them, may come to Qt as neither a
    // new activation nor a minimised state; the window leaving the screen always comes, before any
    // key sent after its return. So the input has the focus by then.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == windowHandle() && event->type() == QEvent::Expose && !windowHandle()->isExposed())
            m_input->setFocus(Qt::OtherFocusReason);
        return QWidget::eventFilter(watched, event);
    }

private:
    void refuseActivation()
    {
        platform::windowSystem().setForegroundWindow(m_decoy.winId(), 0);
        if (m_lateMs < 0 || m_lateTimer.isActive())
            return;
        m_lateTimer.setSingleShot(true);
        m_lateTimer.callOnTimeout(this, [this] {
            m_lateMs = 0;
            m_decoy.hide();
            platform::windowSystem().setForegroundWindow(winId(), 0);
        });
        m_lateTimer.start(m_lateMs);
    }

    void appendMessage(const QString& sender, const QString& text)
    {
        m_history->appendPlainText(sender + QTime::currentTime().toString(QStringLiteral(" hh:mm:ss")));
        m_history->appendPlainText(text);
    }

    void sendInput()
    {
        const QString text = m_input->toPlainText();
        if (text.isEmpty())
            return;
        appendMessage(QStringLiteral("我"), text);
        m_input->clear();
        QSaveFile file(QDir(m_sentDir).filePath(QStringLiteral("%1.txt").arg(++m_sent, 4, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
            qWarning("chat stub: cannot write %s", qPrintable(file.fileName()));
    }

    void readInbox()
    {
        const QDir inbox(m_inboxDir);
        for (const QString& name : inbox.entryList({QStringLiteral("*.late")}, QDir::Files)) {
            QFile file(inbox.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                m_lateMs = file.readAll().trimmed().toInt();
            file.remove();
            // Shown ahead, so the window manager already manages it when it is to take the focus.
            m_decoy.setGeometry(0, 0, 80, 40);
            m_decoy.setVisible(m_lateMs != 0);
        }
        for (const QString& name : inbox.entryList({QStringLiteral("*.msg")}, QDir::Files, QDir::Name)) {
            QFile file(inbox.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) {
                qWarning("chat stub: cannot read %s", qPrintable(file.fileName()));
                continue;
            }
            appendMessage(QStringLiteral("张三"), QString::fromUtf8(file.readAll()));
            file.remove();
        }
    }

    const QString m_sentDir;
    const QString m_inboxDir;
    QPlainTextEdit* m_history = new QPlainTextEdit(this);
    QPlainTextEdit* m_input = new QPlainTextEdit(this);
    QTimer m_inboxTimer;
    int m_sent = 0;
    int m_lateMs = 0; // how late the window comes forward; -1 never
    QTimer m_lateTimer;
    QWidget m_decoy; // takes the activations the window refuses
};

} // namespace

int main(int argc, char* argv[])
{
    // A test that crashes never stops its stub; this window would then linger on the display and
    // be found by the next test. Going with the parent avoids that.
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        return 0;

    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&args](const char* name) { return args.value(args.indexOf(QLatin1String(name)) + 1); };
    ChatWindow window(option("--group"), option("--sent"), option("--inbox"));
    window.show();
    return app.exec();
}
