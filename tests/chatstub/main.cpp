// A stand-in for the chat program's group window, run as a separate process by the tests of the
// chat-window road. It offers what the trainer relies on in such a window and nothing more:
// - a top-level window titled with the group's name (no limit applied, so tests can also offer
//   titles the trainer's filters must skip);
// - a read-only history at the top (plain text; each message on its own lines after a line naming
//   its sender and the time as hh:mm:ss, the newest last), reached by Tab from the input or by a
//   click at the window's centre; Ctrl+A and Ctrl+C there copy all of it;
// - a multi-line input below, focused whenever the window is activated or minimised; Ctrl+V pastes
//   into it and Alt+S ("发送(&S)") sends it under the own sender "我"; an empty input is not sent.
//
// Command line: tavrel_chatstub --group NAME --sent DIR --inbox DIR
//   --sent    each sent message is written whole to DIR/0001.txt, DIR/0002.txt, ...: exactly the
//             input's text in UTF-8
//   --inbox   every 100 ms the files DIR/*.msg are taken in name order and shown as messages of
//             "张三", then removed (write under another name and rename, so a file is read whole)
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

        QDir().mkpath(sentDir);
        QDir().mkpath(inboxDir);
        connect(&m_inboxTimer, &QTimer::timeout, this, [this] { readInbox(); });
        m_inboxTimer.start(100);
    }

protected:
    bool event(QEvent* event) override
    {
        // As the chat program does: coming back to the front puts the cursor into the message
        // input. Qt reports a deactivation only when the focus stays away for a while, so a quick
        // switch away and back would leave the focus where it was; a minimised window always
        // gets its input focused again.
        if (event->type() == QEvent::WindowActivate)
            m_input->setFocus(Qt::ActiveWindowFocusReason);
        else if (event->type() == QEvent::WindowStateChange && isMinimized())
            m_input->setFocus(Qt::OtherFocusReason);
        return QWidget::event(event);
    }

private:
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
