#include "app/core/singleinstance.h"

#include <QProcess>
#include <QUuid>
#include <QtTest>

#include <cstdio>
#include <cstring>

namespace {

const char* const kHoldArg = "--hold";

// Child mode: take the guard under the given key, say so on stdout, and keep it until stdin
// closes (a normal exit) or the process is killed.
int holdGuard(const char* key)
{
    SingleInstance guard(QString::fromUtf8(key));
    const bool held = guard.acquire();
    std::puts(held ? "holding" : "busy");
    std::fflush(stdout);
    if (!held)
        return 2;
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
    QString m_key; // a key no parallel run of this test shares
    QProcess m_holder;

    // Starts a child under the key; its answer, "holding" or "busy".
    QByteArray startHolder(QProcess& process)
    {
        process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kHoldArg), m_key});
        if (!process.waitForStarted(10000) || !process.waitForReadyRead(10000))
            return QByteArray();
        return process.readLine().trimmed();
    }

    bool canAcquire()
    {
        SingleInstance guard(m_key);
        return guard.acquire();
    }

private slots:
    void init() { m_key = QStringLiteral("VEK-test-") + QUuid::createUuid().toString(QUuid::Id128); }

    void cleanup()
    {
        if (m_holder.state() != QProcess::NotRunning) {
            m_holder.kill();
            m_holder.waitForFinished(10000);
        }
        canAcquire(); // leaves no segment behind, whatever a failed case left
    }

    void liveHolderInAnotherProcessWins()
    {
        QCOMPARE(startHolder(m_holder), QByteArray("holding"));
        QVERIFY(!canAcquire());
        QVERIFY(!canAcquire()); // our attempt did not remove the holder's segment
    }

    // One instance per user and display: another user's or another display's start is not refused.
    void perUserAndDisplay_data()
    {
        QTest::addColumn<uint>("user");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("free");
        QTest::addRow("same user and display") << 1000u << ":0" << false;
        QTest::addRow("same display, screen named") << 1000u << ":0.0" << false;
        QTest::addRow("another user") << 1001u << ":0" << true;
        QTest::addRow("another display") << 1000u << ":1" << true;
    }

    void perUserAndDisplay()
    {
        QFETCH(uint, user);
        QFETCH(QString, display);
        SingleInstance holder(SingleInstance::sessionKey(m_key, 1000, QStringLiteral(":0")));
        QVERIFY(holder.acquire());
        QVERIFY(holder.acquire()); // asking again keeps what it holds
        SingleInstance other(SingleInstance::sessionKey(m_key, user, display));
        QTEST(other.acquire(), "free");
    }

    void goneHolderDoesNotBlock_data()
    {
        QTest::addColumn<bool>("kill");
        QTest::addRow("killed") << true; // SIGKILL: no destructor runs, the segment is left behind
        QTest::addRow("exited") << false;
    }

    void goneHolderDoesNotBlock()
    {
        QFETCH(bool, kill);
        QCOMPARE(startHolder(m_holder), QByteArray("holding"));
        if (kill)
            m_holder.kill();
        else
            m_holder.closeWriteChannel();
        QVERIFY(m_holder.waitForFinished(10000));
        QCOMPARE(m_holder.exitStatus(), kill ? QProcess::CrashExit : QProcess::NormalExit);

        SingleInstance guard(m_key);
        QVERIFY(guard.acquire());
        QVERIFY(!canAcquire()); // and now this process is the one instance
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kHoldArg) == 0)
        return holdGuard(argv[2]);
    TestSingleInstance test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_singleinstance.moc"
