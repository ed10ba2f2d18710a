// The boss key on a real X display: pressed while another program has the focus, it hides the main
// window and shows it again; a changed key replaces the old one at once.
#include "app/core/app.h"
#include "app/globalshortcut.h"
#include "testsupport.h"
#include "typing/frmmain.h"
#include "x11support.h"

#include <QSignalSpy>
#include <QWidget>

#include <memory>

class TestBossKey : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    QWidget m_other;
    xt::InputRecorder m_recorder;
    xt::Sentinel m_sentinel{m_x};
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<frmMain> m_window;

    void focusOther()
    {
        m_other.raise();
        m_other.activateWindow();
        QTRY_VERIFY(m_other.isActiveWindow());
        QTest::qWait(5); // keeps this step's key time stamps apart from the last one's
        m_recorder.keys.clear();
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
        m_dir = std::make_unique<TestDir>();
        ts::resetWindowGlobals();
        App::Kjlb = QStringLiteral("ALT+Q");
        m_window = std::make_unique<frmMain>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        focusOther();
    }
    void cleanup()
    {
        m_window.reset();
        m_dir.reset();
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
        QSignalSpy spy(m_window->m_bossKey, &MyGlobalShortCut::activated);
        for (const bool shown : {false, true}) {
            m_x.chord({XK_Alt_L}, XK_q);
            QVERIFY(m_sentinel.settle());
            QCOMPARE(spy.count(), shown ? 2 : 1);
            QTRY_COMPARE(m_window->isVisible(), shown);
            QCOMPARE(m_window->windowShown, shown);
            QVERIFY(!m_recorder.keys.contains(Qt::Key_Q));
            focusOther();
        }
    }

    void rebindingKeepsOneKey()
    {
        frmMain& w = *m_window;
        for (const char* key : {"ALT+Q", "ALT+W", "ALT+Q", "ALT+W", "ALT+W"}) { // back and forth
            App::Kjlb = QString::fromLatin1(key);
            w.settingRecv();
        }
        QCOMPARE(w.findChildren<MyGlobalShortCut*>().size(), 1);
        focusOther();
        QSignalSpy spy(w.m_bossKey, &MyGlobalShortCut::activated);

        m_x.chord({XK_Alt_L}, XK_q); // the old key is free: it goes to the focused program
        QVERIFY(m_sentinel.settle());
        QTRY_VERIFY(m_recorder.keys.contains(Qt::Key_Q));
        m_x.chord({XK_Alt_L}, XK_w); // one press, one toggle: a second one would show it again
        QVERIFY(m_sentinel.settle());
        QCOMPARE(spy.count(), 1);
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(!m_recorder.keys.contains(Qt::Key_W));
    }
};

QTEST_MAIN(TestBossKey)
#include "test_bosskey.moc"
