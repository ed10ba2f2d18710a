// The boss key on a real X display: pressed while another program has the focus, it hides the main
// window and shows it again; a changed key replaces the old one at once.
#include "app/core/app.h"
#include "app/globalshortcut.h"
#include "testsupport.h"
#include "x11support.h"

#include <QSignalSpy>

class TestBossKey : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    QWidget m_other;
    xt::InputRecorder m_recorder;
    xt::Sentinel m_sentinel{m_x};
    std::unique_ptr<ts::MainWindowFixture> m_f;

    void focusOther()
    {
        m_other.raise();
        m_other.activateWindow();
        QTRY_VERIFY(m_other.isActiveWindow());
        QTest::qWait(5); // keeps this step's key time stamps apart from the last one's
        m_recorder.keys.clear();
    }
    // The window's one boss key.
    MyGlobalShortCut* bossKey() const
    {
        const auto keys = m_f->w().findChildren<MyGlobalShortCut*>();
        return keys.size() == 1 ? keys.first() : nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_x.isOpen(), "needs an X display with XTest (run under test.sh)");
        App::initResources();
        m_other.setFocusPolicy(Qt::StrongFocus);
        m_other.setGeometry(700, 500, 300, 200);
        m_other.installEventFilter(&m_recorder);
        m_other.show();
    }
    void init()
    {
        m_f = std::make_unique<ts::MainWindowFixture>();
        App::Kjlb = QStringLiteral("ALT+Q");
        m_f->open(true);
        focusOther();
    }
    void cleanup()
    {
        m_f.reset();
        QVERIFY(m_x.setLocks(false, false));
    }

    void pressHidesAndShows_data()
    {
        QTest::addColumn<bool>("numLock");
        QTest::addRow("no locks") << false;
        QTest::addRow("Num Lock on") << true;
    }
    void pressHidesAndShows()
    {
        QFETCH(bool, numLock);
        QVERIFY2(!numLock || m_x.numLockMask(), "Num Lock is not a modifier on this keyboard");
        QVERIFY(m_x.setLocks(false, numLock));
        QVERIFY(bossKey());
        QSignalSpy spy(bossKey(), &MyGlobalShortCut::activated);
        for (const bool shown : {false, true}) {
            m_x.chord({XK_Alt_L}, XK_q);
            QVERIFY(m_sentinel.settle());
            QCOMPARE(spy.count(), shown ? 2 : 1);
            QTRY_COMPARE(m_f->w().isVisible(), shown);
            QVERIFY(!m_recorder.keys.contains(Qt::Key_Q));
            focusOther();
        }
    }

    void rebindingKeepsOneKey()
    {
        for (const char* key : {"ALT+Q", "ALT+W", "ALT+Q", "ALT+W", "ALT+W"}) { // back and forth
            App::Kjlb = QString::fromLatin1(key);
            m_f->w().settingRecv();
        }
        QVERIFY(bossKey());
        focusOther();
        QSignalSpy spy(bossKey(), &MyGlobalShortCut::activated);

        m_x.chord({XK_Alt_L}, XK_q); // the old key is free: it goes to the focused program
        QVERIFY(m_sentinel.settle());
        QTRY_VERIFY(m_recorder.keys.contains(Qt::Key_Q));
        m_x.chord({XK_Alt_L}, XK_w); // one press, one toggle: a second one would show it again
        QVERIFY(m_sentinel.settle());
        QCOMPARE(spy.count(), 1);
        QTRY_VERIFY(!m_f->w().isVisible());
        QVERIFY(!m_recorder.keys.contains(Qt::Key_W));
    }
};

QTEST_MAIN(TestBossKey)
#include "test_bosskey.moc"
