// Starting the real program on the test display: one instance at a time, a second start is told so
// and ends with 1. That a killed instance does not block the next start is the guard's own test.
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The first line xdotool prints.
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

private slots:
    void singleInstance()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("needs the X display and xdotool that test.sh provides");
        const QString binary = qEnvironmentVariable("TAVREL_BUILD_DIR") + QStringLiteral("/tavrel");
        QVERIFY2(QFileInfo(binary).isExecutable(), qPrintable(binary));

        // A private working folder, settings store and temporary folder (which holds the instance
        // guard's key file), so a trainer the user runs is not in the way.
        QTemporaryDir root;
        for (const char* sub : {"work", "tmp", "config"})
            QVERIFY(QDir(root.path()).mkpath(sub));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : env.keys()) {
            if (name.startsWith("TAVREL_DB_") || name == "TAVREL_WEB_URL" || name == "QT_QPA_PLATFORM")
                env.remove(name);
        }
        env.insert("XDG_CONFIG_HOME", root.filePath("config"));
        env.insert("TMPDIR", root.filePath("tmp"));
        QProcess first, second; // one still running at the end is killed with its object
        for (QProcess* process : {&first, &second}) {
            process->setProgram(binary);
            process->setWorkingDirectory(root.filePath("work"));
            process->setProcessEnvironment(env);
            process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        }
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
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
