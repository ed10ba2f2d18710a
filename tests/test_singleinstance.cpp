#include "app/singleinstance.h"

#include <QProcess>
#include <QUuid>
#include <QtTest>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char* const kHoldArg = "--hold";

// Child mode: take the guard under the given key, say so on stdout, and keep it until stdin
// closes (a normal exit) or the process is killed.
int holdGuard(const char* key)
{
    SingleInstance guard(QString::fromUtf8(key));
    if (!guard.acquire()) {
        std::puts("busy");
        std::fflush(stdout);
        return 2;
    }
    std::puts("holding");
    std::fflush(stdout);
    char line[64];
    while (std::fgets(line, sizeof line, stdin)) {
    }
    return 0;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    // A key no parallel run of this test shares.
    QString m_key;
    QProcess m_holder;

    // Starts a child that holds the guard; false when it reported anything but holding.
    bool startHolder(QProcess& process, QByteArray* answer = nullptr)
    {
        process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kHoldArg), m_key});
        if (!process.waitForStarted(10000) || !process.waitForReadyRead(10000)) {
            return false;
        }
        const QByteArray line = process.readLine().trimmed();
        if (answer) {
            *answer = line;
        }
        return line == "holding";
    }

private slots:
    void init() { m_key = QStringLiteral("VEK-test-") + QUuid::createUuid().toString(QUuid::Id128); }

    void cleanup()
    {
        if (m_holder.state() != QProcess::NotRunning) {
            m_holder.kill();
            m_holder.waitForFinished(10000);
        }
        // Leave no segment behind, whatever a failed case left.
        SingleInstance sweep(m_key);
        sweep.acquire();
    }

    void secondGuardInSameProcessIsRefused()
    {
        auto first = std::make_unique<SingleInstance>(m_key);
        QVERIFY(first->acquire());
        QVERIFY(first->acquire()); // asking again keeps what it holds
        {
            SingleInstance second(m_key);
            QVERIFY(!second.acquire());
        }
        // The refused guard took nothing away from the holder.
        SingleInstance third(m_key);
        QVERIFY(!third.acquire());
        first.reset();
        SingleInstance fourth(m_key);
        QVERIFY(fourth.acquire());
    }

    void liveHolderInAnotherProcessWins()
    {
        QVERIFY(startHolder(m_holder));
        {
            SingleInstance guard(m_key);
            QVERIFY(!guard.acquire());
        }
        // Our attempt must not have removed the holder's segment: a second look still finds it.
        {
            SingleInstance guard(m_key);
            QVERIFY(!guard.acquire());
        }
        QProcess other;
        QByteArray answer;
        QVERIFY(!startHolder(other, &answer));
        QCOMPARE(answer, QByteArray("busy"));
        QVERIFY(other.waitForFinished(10000));
        QCOMPARE(other.exitCode(), 2);
    }

    void killedHolderDoesNotBlock()
    {
        QVERIFY(startHolder(m_holder));
        m_holder.kill(); // SIGKILL: no destructor runs, the segment is left behind
        QVERIFY(m_holder.waitForFinished(10000));
        QCOMPARE(m_holder.exitStatus(), QProcess::CrashExit);

        SingleInstance guard(m_key);
        QVERIFY(guard.acquire());
        // And now this process is the one instance.
        SingleInstance second(m_key);
        QVERIFY(!second.acquire());
    }

    void holderThatExitedDoesNotBlock()
    {
        QVERIFY(startHolder(m_holder));
        m_holder.closeWriteChannel();
        QVERIFY(m_holder.waitForFinished(10000));
        QCOMPARE(m_holder.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_holder.exitCode(), 0);

        SingleInstance guard(m_key);
        QVERIFY(guard.acquire());
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kHoldArg) == 0) {
        QCoreApplication app(argc, argv);
        return holdGuard(argv[2]);
    }
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_singleinstance.moc"
