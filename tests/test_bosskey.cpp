// The boss key on a real X display: the main window hides and shows again when the configured key
// is pressed (by XTest) while another program has the focus, and a changed key replaces the old
// one at once.
#include "app/app.h"
#include "app/globalshortcut.h"
#include "platform/display.h"
#include "testsupport.h"
#include "typing/frmmain.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QWidget>

#include <memory>

// Xlib last: its macros clash with Qt's enum names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef None
#undef Bool
#undef Status
#undef Unsorted

namespace {

// Keys that reach the other program: a grabbed boss key must not.
class KeyRecorder : public QObject
{
public:
    QVector<int> keys;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys << static_cast<QKeyEvent*>(event)->key();
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class TestBossKey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void pressHidesAndShows_data();
    void pressHidesAndShows();
    void rebindingReleasesTheOldKey();
    void repeatedSettingsKeepOneKey();

private:
    void fakeKey(quint32 keysym, bool press);
    // Alt plus one key, pressed while the other program has the focus.
    void altChord(quint32 keysym);
    bool settle();
    void focusOther();
    unsigned numLockMask() const;

    Display* m_display = nullptr;
    QWidget* m_other = nullptr;
    KeyRecorder m_recorder;
    // Pressed after each case's keys: once it fires, every earlier key has been handled.
    MyGlobalShortCut* m_sentinel = nullptr;
    QSignalSpy* m_sentinelSpy = nullptr;
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<frmMain> m_window;
};

void TestBossKey::initTestCase()
{
    QVERIFY2(platform::x11Available(), "needs an X display (run under test.sh)");
    App::initResources();
    m_display = XOpenDisplay(nullptr);
    QVERIFY(m_display);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    QVERIFY(XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor));

    m_other = new QWidget;
    m_other->setWindowTitle(QStringLiteral("other program"));
    m_other->setFocusPolicy(Qt::StrongFocus);
    m_other->resize(300, 200);
    m_other->move(700, 500);
    m_other->installEventFilter(&m_recorder);
    m_other->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_other));

    m_sentinel = new MyGlobalShortCut(QStringLiteral("CTRL+SHIFT+F12"), nullptr);
    m_sentinelSpy = new QSignalSpy(m_sentinel, &MyGlobalShortCut::activated);
}

void TestBossKey::init()
{
    m_dir = std::make_unique<TestDir>();
    App::resetConfig();
    App::DbOnline = false;
    App::WebUrl.clear();
    App::Kjlb = QStringLiteral("ALT+Q");
    m_window = std::make_unique<frmMain>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    focusOther();
    m_recorder.keys.clear();
}

void TestBossKey::cleanup()
{
    m_window.reset();
    m_dir.reset();
    if (m_display) {
        XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask | numLockMask(), 0);
        XSync(m_display, False);
    }
}

void TestBossKey::cleanupTestCase()
{
    delete m_sentinelSpy;
    delete m_sentinel;
    delete m_other;
    if (m_display)
        XCloseDisplay(m_display);
    m_display = nullptr;
}

void TestBossKey::fakeKey(quint32 keysym, bool press)
{
    const KeyCode keycode = XKeysymToKeycode(m_display, keysym);
    QVERIFY2(keycode, "key symbol missing from the test keyboard");
    XTestFakeKeyEvent(m_display, keycode, press ? True : False, CurrentTime);
    XFlush(m_display);
}

void TestBossKey::altChord(quint32 keysym)
{
    fakeKey(XK_Alt_L, true);
    fakeKey(keysym, true);
    fakeKey(keysym, false);
    fakeKey(XK_Alt_L, false);
    XSync(m_display, False);
}

bool TestBossKey::settle()
{
    const int before = m_sentinelSpy->count();
    fakeKey(XK_Control_L, true);
    fakeKey(XK_Shift_L, true);
    fakeKey(XK_F12, true);
    fakeKey(XK_F12, false);
    fakeKey(XK_Shift_L, false);
    fakeKey(XK_Control_L, false);
    XSync(m_display, False);
    return QTest::qWaitFor([&] { return m_sentinelSpy->count() > before; }) && m_sentinelSpy->count() == before + 1;
}

void TestBossKey::focusOther()
{
    m_other->raise();
    m_other->activateWindow();
    QTRY_VERIFY(m_other->isActiveWindow());
    // Keeps this step's key time stamps apart from the previous one's.
    QTest::qWait(5);
}

unsigned TestBossKey::numLockMask() const
{
    return XkbKeysymToModifiers(m_display, XK_Num_Lock);
}

void TestBossKey::pressHidesAndShows_data()
{
    QTest::addColumn<bool>("numLock");
    QTest::addColumn<bool>("capsLock");
    QTest::addRow("no locks") << false << false;
    QTest::addRow("Num Lock on") << true << false;
    QTest::addRow("both locks on") << true << true;
}

void TestBossKey::pressHidesAndShows()
{
    QFETCH(bool, numLock);
    QFETCH(bool, capsLock);
    const unsigned locks = (numLock ? numLockMask() : 0) | (capsLock ? unsigned(LockMask) : 0);
    if (numLock)
        QVERIFY2(numLockMask(), "Num Lock is not a modifier on this keyboard");
    XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask | numLockMask(), locks);
    XSync(m_display, False);

    frmMain& w = *m_window;
    QSignalSpy spy(w.m_bossKey, &MyGlobalShortCut::activated);
    altChord(XK_q);
    QTRY_VERIFY(!w.isVisible());
    QVERIFY(settle());
    QCOMPARE(spy.count(), 1);
    QVERIFY(!w.isVisible());
    QVERIFY(!w.windowShown);
    QVERIFY(!m_recorder.keys.contains(int(Qt::Key_Q)));

    focusOther();
    altChord(XK_q);
    QTRY_VERIFY(w.isVisible());
    QVERIFY(settle());
    QCOMPARE(spy.count(), 2);
    QVERIFY(w.isVisible());
    QVERIFY(w.windowShown);
    QVERIFY(!m_recorder.keys.contains(int(Qt::Key_Q)));
}

void TestBossKey::rebindingReleasesTheOldKey()
{
    frmMain& w = *m_window;
    App::Kjlb = QStringLiteral("ALT+W");
    w.settingRecv();
    focusOther();
    QSignalSpy spy(w.m_bossKey, &MyGlobalShortCut::activated);

    // The old key is free again: it goes to the program that has the focus.
    altChord(XK_q);
    QVERIFY(settle());
    QVERIFY(w.isVisible());
    QTRY_VERIFY(m_recorder.keys.contains(int(Qt::Key_Q)));

    altChord(XK_w);
    QTRY_VERIFY(!w.isVisible());
    QVERIFY(settle());
    QCOMPARE(spy.count(), 1);
    QVERIFY(!w.isVisible());
    QVERIFY(!m_recorder.keys.contains(int(Qt::Key_W)));
}

void TestBossKey::repeatedSettingsKeepOneKey()
{
    frmMain& w = *m_window;
    // The settings come back several times, the key changing back and forth.
    for (const char* key : {"ALT+W", "ALT+Q", "ALT+Q", "ALT+W", "ALT+Q"}) {
        App::Kjlb = QString::fromLatin1(key);
        w.settingRecv();
    }
    QCOMPARE(w.findChildren<MyGlobalShortCut*>().size(), 1);
    focusOther();
    QSignalSpy spy(w.m_bossKey, &MyGlobalShortCut::activated);

    // One press, one toggle: a second activation would show the window again.
    altChord(XK_q);
    QTRY_VERIFY(!w.isVisible());
    QVERIFY(settle());
    QCOMPARE(spy.count(), 1);
    QVERIFY(!w.isVisible());

    altChord(XK_w);
    QVERIFY(settle());
    QVERIFY(!w.isVisible());
    QTRY_VERIFY(m_recorder.keys.contains(int(Qt::Key_W)));
}

QTEST_MAIN(TestBossKey)
#include "test_bosskey.moc"
