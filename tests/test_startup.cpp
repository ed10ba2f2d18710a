// One trainer at a time: the instance guard itself, and the real program on the test display, where a
// second start is told so and ends with 1. What the start-up reads: the typing record in the store.
#include "app/core/singleinstance.h"
#include "app/startup.h"
#include "typing/core/record.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include <cstdio>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// This program run with "--trainer" is the trainer itself, started as the program starts.
const char* const kTrainerArgument = "--trainer";
bool g_runAsTrainer = false;

// In that run: once the main window shows, the text of its typing-record label goes to standard
// output, and the trainer ends.
void reportRecordLabel()
{
    if (!g_runAsTrainer)
        return;
    auto* poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, poll, [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->inherits("frmMain") || !window->isVisible())
                continue;
            for (const QLabel* label : window->findChildren<QLabel*>()) {
                if (label->text().startsWith(QStringLiteral("打字记录"))) {
                    std::fputs(label->text().toUtf8().constData(), stdout);
                    std::fflush(stdout);
                    QCoreApplication::exit(0);
                    return;
                }
            }
        }
    });
    poll->start(50);
}
Q_COREAPP_STARTUP_FUNCTION(reportRecordLabel)

// A private working folder, temporary folder and settings store below `root`, so that a trainer the
// user runs is not in the way; offline, on the test display.
QProcessEnvironment trainerEnvironment(const QTemporaryDir& root)
{
    for (const char* sub : {"work", "tmp", "config"})
        QDir(root.path()).mkpath(sub);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& name : env.keys()) {
        if (name.startsWith("TAVREL_DB_") || name == "TAVREL_WEB_URL" || name == "QT_QPA_PLATFORM")
            env.remove(name);
    }
    env.insert("XDG_CONFIG_HOME", root.filePath("config"));
    env.insert("TMPDIR", root.filePath("tmp"));
    return env;
}

bool hasTestDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") && !QStandardPaths::findExecutable("xdotool").isEmpty();
}

QString xdotool(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
}

// The process's first shown window whose title matches, waited for up to waitMs; empty if none.
QString findWindow(const QProcess& process, const QString& title, int waitMs = 30000)
{
    const QStringList args{"search", "--all", "--onlyvisible", "--pid", QString::number(process.processId()),
                           "--name", title};
    QString found;
    return QTest::qWaitFor([&] { return !(found = xdotool(args)).isEmpty(); }, waitMs) ? found : QString();
}

void pressIn(const QString& window, const QString& keys)
{
    xdotool({"windowactivate", "--sync", window});
    xdotool({"key", "--clearmodifiers", keys});
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
    QString m_key; // a guard key no parallel run of this test shares

    // Takes the guard in a child process, which ends with or without the guard's destructor (without
    // it, as a killed instance, it leaves the segment behind); true when the child held the guard.
    bool heldByChild(bool destroyed) const
    {
        const pid_t pid = fork();
        if (pid == 0) {
            auto* guard = new SingleInstance(m_key);
            const bool held = guard->acquire();
            if (destroyed)
                delete guard;
            _exit(held ? 0 : 1);
        }
        int status = 0;
        return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    bool canAcquire() const
    {
        SingleInstance guard(m_key);
        return guard.acquire();
    }

private slots:
    void init() { m_key = QStringLiteral("VEK-test-") + QUuid::createUuid().toString(QUuid::Id128); }
    void cleanup() { canAcquire(); } // leaves no segment behind, whatever a failed case left

    // One instance per user and display, whatever TMPDIR: another user's or display's start is not refused.
    void perUserAndDisplay_data()
    {
        QTest::addColumn<uint>("user");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("otherTmp");
        QTest::addColumn<bool>("free");
        QTest::addRow("same user and display") << 1000u << ":0" << false << false;
        QTest::addRow("same display, screen named") << 1000u << ":0.0" << false << false;
        QTest::addRow("another TMPDIR") << 1000u << ":0" << true << false;
        QTest::addRow("another user") << 1001u << ":0" << false << true;
        QTest::addRow("another display") << 1000u << ":1" << false << true;
    }

    void perUserAndDisplay()
    {
        QFETCH(uint, user);
        QFETCH(QString, display);
        QFETCH(bool, otherTmp);
        SingleInstance holder(SingleInstance::sessionKey(m_key, 1000, QStringLiteral(":0")));
        QVERIFY(holder.acquire());
        QVERIFY(holder.acquire()); // asking again keeps what it holds
        QTemporaryDir tmp;
        const QByteArray tmpdir = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] { tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir); });
        if (otherTmp)
            qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        SingleInstance other(SingleInstance::sessionKey(m_key, user, display));
        QTEST(other.acquire(), "free");
        QTEST(other.acquire(), "free"); // a refused attempt did not remove the holder's segment
    }

    void goneHolderDoesNotBlock_data()
    {
        QTest::addColumn<bool>("destroyed");
        QTest::addRow("killed") << false;
        QTest::addRow("exited") << true;
    }

    void goneHolderDoesNotBlock()
    {
        QFETCH(bool, destroyed);
        QVERIFY(heldByChild(destroyed));
        SingleInstance guard(m_key);
        QVERIFY(guard.acquire());
        QVERIFY(!canAcquire()); // and now this process is the one instance
    }

    void secondStartRefused()
    {
        if (!hasTestDisplay())
            QSKIP("needs the X display and xdotool that test.sh provides");
        // The second start has a temporary folder of its own.
        QTemporaryDir root;
        QProcessEnvironment env = trainerEnvironment(root);
        QVERIFY(QDir(root.path()).mkpath("tmp2"));
        QProcess first, second; // one still running at the end is killed with its object
        for (QProcess* process : {&first, &second}) {
            process->setProgram(qEnvironmentVariable("TAVREL_BUILD_DIR") + QStringLiteral("/tavrel"));
            process->setWorkingDirectory(root.filePath("work"));
            process->setProcessEnvironment(env);
            process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        }
        env.insert("TMPDIR", root.filePath("tmp2"));
        second.setProcessEnvironment(env);
        const QString mainTitle = QStringLiteral("^Tavrel跟打器");
        first.start();
        QVERIFY(first.waitForStarted());
        const QString window = findWindow(first, mainTitle);
        QVERIFY2(!window.isEmpty(), "the first instance shows no window");

        // A second start shows the box, no main window, and ends with 1 once the box is answered.
        second.start();
        QVERIFY(second.waitForStarted());
        const QString box = findWindow(second, QStringLiteral("^提示$"));
        QVERIFY2(!box.isEmpty(), "the second start shows no box");
        QVERIFY(findWindow(second, mainTitle, 0).isEmpty());
        pressIn(box, QStringLiteral("Return"));
        QVERIFY2(second.waitForFinished(15000), "the second start did not end after the box was answered");
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 1);
        QCOMPARE(first.state(), QProcess::Running);

        // Closed by the window manager, it ends normally with the event loop's result.
        pressIn(window, QStringLiteral("alt+F4"));
        QVERIFY2(first.waitForFinished(15000), "the window did not close on Alt+F4");
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
    }

    // Started on a stored record, the trainer shows it: today's and all characters, and the days
    // since the record's first day.
    void storedRecordShown()
    {
        if (!hasTestDisplay())
            QSKIP("needs the X display that test.sh provides");
        QTemporaryDir root;
        const QProcessEnvironment env = trainerEnvironment(root);
        QSettings store(root.filePath("config/VEK Helper/VEK.conf"), QSettings::IniFormat);
        store.beginGroup("VekConfig");
        store.setValue("Jilu", 1000);
        store.setValue("TempJilu", 10);
        store.setValue("Day", TypingRecord::dayText(QDate::currentDate().addDays(-2)));
        store.setValue("Day2", TypingRecord::dayText(QDate::currentDate()));
        store.endGroup();
        store.sync();
        QCOMPARE(store.status(), QSettings::NoError);

        QProcess trainer;
        trainer.setProgram(QCoreApplication::applicationFilePath());
        trainer.setArguments({kTrainerArgument});
        trainer.setWorkingDirectory(root.filePath("work"));
        trainer.setProcessEnvironment(env);
        trainer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        trainer.start();
        QVERIFY2(trainer.waitForFinished(60000), "the trainer did not show its window");
        QCOMPARE(trainer.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(trainer.readAllStandardOutput()), QStringLiteral("打字记录: 10/1000/3天"));
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], kTrainerArgument) == 0) {
        g_runAsTrainer = true;
        return runTrainer(1, argv);
    }
    QCoreApplication app(argc, argv);
    TestStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_startup.moc"
