// The instance guard. A live holder in another process is the program's own start-up test.
#include "app/core/singleinstance.h"

#include <QUuid>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

class TestSingleInstance : public QObject
{
    Q_OBJECT
    QString m_key; // a key no parallel run of this test shares

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
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
