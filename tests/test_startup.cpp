// Starting the real program on the test display: one instance at a time, a second start is told
// so and ends with 1, and a killed instance does not block the next start.
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

const int kWindowWaitMs = 30000;

// Runs xdotool and returns its standard output; empty when it failed or did not end in time.
QString xdotool(const QStringList& args, int timeoutMs = 10000)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The first visible window of the process whose title matches the pattern, or empty at the deadline.
QString waitForWindow(qint64 pid, const QString& titlePattern, int timeoutMs = kWindowWaitMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QString found =
            xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"), titlePattern});
        if (!found.isEmpty())
            return found.split(QLatin1Char('\n')).first();
        QTest::qWait(200);
    }
    return QString();
}

bool hasWindow(qint64 pid, const QString& titlePattern)
{
    return !xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--pid"), QString::number(pid),
                     QStringLiteral("--name"), titlePattern})
                .isEmpty();
}

// Every started program is ended when the test ends, whatever the outcome.
class Programs
{
public:
    ~Programs()
    {
        for (auto& process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }
    QProcess* start(const QString& program, const QString& workDir, const QProcessEnvironment& env)
    {
        m_processes.push_back(std::make_unique<QProcess>());
        QProcess* process = m_processes.back().get();
        process->setProgram(program);
        process->setWorkingDirectory(workDir);
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start();
        return process;
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void singleInstance();

private:
    QString m_binary;
};

void TestStartup::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs the X display that test.sh starts");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("needs xdotool (test.sh installs it)");
    m_binary = qEnvironmentVariable("TAVREL_BUILD_DIR") + QStringLiteral("/tavrel");
    QVERIFY2(QFileInfo(m_binary).isExecutable(), qPrintable(m_binary));
}

void TestStartup::singleInstance()
{
    // An empty working directory, a private settings store and a private temporary folder, which
    // also holds the instance guard's key file, so a trainer the user runs is not in the way.
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString work = root.path() + QStringLiteral("/work");
    const QString temp = root.path() + QStringLiteral("/tmp");
    QVERIFY(QDir().mkpath(work));
    QVERIFY(QDir().mkpath(temp));
    QVERIFY(QDir().mkpath(root.path() + QStringLiteral("/config")));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& name : env.keys()) {
        if (name.startsWith(QStringLiteral("TAVREL_DB_")) || name == QStringLiteral("TAVREL_WEB_URL"))
            env.remove(name);
    }
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("TMPDIR"), temp);

    const QString mainTitle = QStringLiteral("^Tavrel跟打器");
    const QString boxTitle = QStringLiteral("^提示$");
    Programs programs;

    // The first instance runs and shows its window.
    QProcess* first = programs.start(m_binary, work, env);
    QVERIFY(first->waitForStarted());
    QVERIFY2(!waitForWindow(first->processId(), mainTitle).isEmpty(), "the first instance shows no window");
    QCOMPARE(first->state(), QProcess::Running);

    // A second start shows the box, builds no main window and ends with 1 once the box is answered.
    QProcess* second = programs.start(m_binary, work, env);
    QVERIFY(second->waitForStarted());
    const QString box = waitForWindow(second->processId(), boxTitle);
    QVERIFY2(!box.isEmpty(), "the second start shows no box");
    QVERIFY(!hasWindow(second->processId(), mainTitle));
    QCOMPARE(second->state(), QProcess::Running); // it waits for the answer
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), box});
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("Return")});
    QVERIFY2(second->waitForFinished(15000), "the second start did not end after the box was answered");
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 1);
    QCOMPARE(first->state(), QProcess::Running);

    // A killed first instance leaves nothing behind that stops the next start.
    first->kill();
    QVERIFY(first->waitForFinished(10000));
    QProcess* third = programs.start(m_binary, work, env);
    QVERIFY(third->waitForStarted());
    const QString window = waitForWindow(third->processId(), mainTitle);
    QVERIFY2(!window.isEmpty(), "the start after a kill shows no window");
    QVERIFY(!hasWindow(third->processId(), boxTitle));
    QTest::qWait(500);
    QCOMPARE(third->state(), QProcess::Running);

    // Closed by the window manager, it ends normally with the event loop's result and releases
    // its guard.
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("alt+F4")});
    QVERIFY2(third->waitForFinished(15000), "the window did not close on Alt+F4");
    QCOMPARE(third->exitStatus(), QProcess::NormalExit);
    QCOMPARE(third->exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
