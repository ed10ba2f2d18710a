// A stand-in for the chat program's group window, run as a separate process by the tests of the
// chat-window road. It offers what the trainer relies on in such a window and nothing more:
// - a top-level window titled with the group's name;
// - a read-only message history at the top (plain text; every message on its own lines after a
//   line naming its sender and the time, the newest last), reached by Tab from the input or by a
//   click at the window's centre;
// - a multi-line message input below it, which takes the focus whenever the window is activated
//   or minimised (so it has it when the window comes back);
// - Ctrl+V pastes into the input, Alt+S (the "发送(&S)" button) sends the input: it goes into the
//   history under the own sender line and into the sent folder; an empty input is not sent;
// - Ctrl+A and Ctrl+C in the history copy all of it to the clipboard as plain text;
// - messages of other members arrive through the inbox folder.
//
// Command line:
//   tavrel_chatstub --group NAME [--sent DIR] [--inbox DIR] [--self NAME] [--member NAME]
//   --group   the window title (default "测试群"); no limit is applied, so tests can also offer
//             titles that the trainer's filters must skip (too long, Latin letters, digits)
//   --sent    each sent message is written to DIR/0001.txt, DIR/0002.txt, ... : exactly the bytes
//             of the input's text in UTF-8, nothing added; each file appears whole (written under
//             a temporary name and renamed)
//   --inbox   every 100 ms the files DIR/*.msg are taken in name order: each one's UTF-8 text is
//             appended to the history as a message of the other member, and the file is removed;
//             write a message under another name and rename it to *.msg so it is read whole
//             a file DIR/*.late holding a number of milliseconds makes the window slow to come
//             forward from then on, as a busy window manager is: an activation is handed to a
//             small window of the stub's own and the window comes forward by itself that much
//             later; -1 never lets it come forward, 0 ends the delays
//   --self    the own sender name (default "我"); --member the other member's (default "张三")
// The sender line is the name, a space and the time as hh:mm:ss, e.g. "张三 12:00:00".
#include "platform/windowsystem.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

struct Options
{
    QString group = QStringLiteral("测试群");
    QString sentDir;
    QString inboxDir;
    QString self = QStringLiteral("我");
    QString member = QStringLiteral("张三");
};

Options parseOptions(const QApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Stand-in chat group window for the trainer's tests"));
    parser.addHelpOption();
    const QCommandLineOption group(QStringLiteral("group"), QStringLiteral("Window title."), QStringLiteral("name"));
    const QCommandLineOption sent(QStringLiteral("sent"), QStringLiteral("Folder of sent messages."),
                                  QStringLiteral("dir"));
    const QCommandLineOption inbox(QStringLiteral("inbox"), QStringLiteral("Folder of incoming messages."),
                                   QStringLiteral("dir"));
    const QCommandLineOption self(QStringLiteral("self"), QStringLiteral("Own sender name."), QStringLiteral("name"));
    const QCommandLineOption member(QStringLiteral("member"), QStringLiteral("Other member's name."),
                                    QStringLiteral("name"));
    parser.addOptions({group, sent, inbox, self, member});
    parser.process(app);

    Options options;
    if (parser.isSet(group))
        options.group = parser.value(group);
    options.sentDir = parser.value(sent);
    options.inboxDir = parser.value(inbox);
    if (parser.isSet(self))
        options.self = parser.value(self);
    if (parser.isSet(member))
        options.member = parser.value(member);
    return options;
}

class ChatWindow : public QWidget
{
public:
    explicit ChatWindow(const Options& options) : m_options(options)
    {
        setWindowTitle(options.group);
        resize(520, 440);

        m_history = new QPlainTextEdit(this);
        m_history->setObjectName(QStringLiteral("history"));
        m_history->setReadOnly(true);
        m_history->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        m_history->setFocusPolicy(Qt::StrongFocus);

        m_input = new QPlainTextEdit(this);
        m_input->setObjectName(QStringLiteral("input"));
        m_input->setTabChangesFocus(true);

        auto* send = new QPushButton(QStringLiteral("发送(&S)"), this);
        send->setObjectName(QStringLiteral("send"));
        // The button never takes the focus, so Tab goes from the input straight to the history.
        send->setFocusPolicy(Qt::NoFocus);
        connect(send, &QPushButton::clicked, this, [this] { sendInput(); });

        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(send);

        // The history takes two thirds of the height, so the window's centre lies inside it.
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_history, 2);
        layout->addWidget(m_input, 1);
        layout->addLayout(buttons);
        setTabOrder(m_input, m_history);
        m_input->setFocus();

        if (!options.sentDir.isEmpty()) {
            QDir().mkpath(options.sentDir);
            m_sentCount = QDir(options.sentDir).entryList({QStringLiteral("*.txt")}, QDir::Files).size();
        }
        if (!options.inboxDir.isEmpty()) {
            QDir().mkpath(options.inboxDir);
            connect(&m_inboxTimer, &QTimer::timeout, this, [this] { readInbox(); });
            m_inboxTimer.start(100);
        }
    }

protected:
    bool event(QEvent* event) override
    {
        // As the chat program does: coming back to the front puts the cursor into the message
        // input. Qt reports a deactivation only when the focus stays away for a while, so a quick
        // switch away and back would leave the focus where it was; a minimised window always
        // gets its input focused again.
        if (event->type() == QEvent::WindowActivate && m_lateMs != 0)
            refuseActivation();
        else if (event->type() == QEvent::WindowActivate)
            m_input->setFocus(Qt::ActiveWindowFocusReason);
        else if (event->type() == QEvent::WindowStateChange && isMinimized())
            m_input->setFocus(Qt::OtherFocusReason);
        return QWidget::event(event);
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
        m_history->appendPlainText(sender + QLatin1Char(' ') +
                                   QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
        m_history->appendPlainText(text);
    }

    void sendInput()
    {
        const QString text = m_input->toPlainText();
        if (text.isEmpty())
            return;
        appendMessage(m_options.self, text);
        m_input->clear();
        if (m_options.sentDir.isEmpty())
            return;
        ++m_sentCount;
        const QString path =
            QDir(m_options.sentDir).filePath(QStringLiteral("%1.txt").arg(m_sentCount, 4, 10, QLatin1Char('0')));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
            qWarning("chat stub: cannot write %s", qPrintable(path));
    }

    void readInbox()
    {
        QDir inbox(m_options.inboxDir);
        for (const QString& name : inbox.entryList({QStringLiteral("*.late")}, QDir::Files)) {
            QFile file(inbox.filePath(name));
            if (file.open(QIODevice::ReadOnly))
                m_lateMs = file.readAll().trimmed().toInt();
            file.remove();
            // Shown ahead, so the window manager already manages it when it is to take the focus.
            m_decoy.setWindowTitle(QStringLiteral("decoy"));
            m_decoy.setGeometry(0, 0, 80, 40);
            m_decoy.setVisible(m_lateMs != 0);
        }
        const QStringList names = inbox.entryList({QStringLiteral("*.msg")}, QDir::Files, QDir::Name);
        for (const QString& name : names) {
            QFile file(inbox.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) {
                qWarning("chat stub: cannot read %s", qPrintable(file.fileName()));
                continue;
            }
            const QString text = QString::fromUtf8(file.readAll());
            file.close();
            file.remove();
            appendMessage(m_options.member, text);
        }
    }

    Options m_options;
    QPlainTextEdit* m_history = nullptr;
    QPlainTextEdit* m_input = nullptr;
    QTimer m_inboxTimer;
    int m_lateMs = 0; // how late the window comes forward; -1 never
    QTimer m_lateTimer;
    QWidget m_decoy; // takes the activations the window refuses
    int m_sentCount = 0;
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
    const Options options = parseOptions(app);
    ChatWindow window(options);
    window.show();
    return app.exec();
}
