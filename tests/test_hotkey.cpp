#include "app/globalshortcut.h"
#include "platform/display.h"
#include "platform/hotkey.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QWidget>
#include <QtTest>

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

using KeySyms = QVector<quint32>;

namespace {

// Key presses that reach a window of ours: a grabbed key must not.
class KeyRecorder : public QObject
{
public:
    QVector<int> keys;
    QVector<int> modifiers;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            keys << static_cast<QKeyEvent*>(event)->key();
            modifiers << int(static_cast<QKeyEvent*>(event)->modifiers());
        }
        return QObject::eventFilter(watched, event);
    }
};

int s_testError = 0;
int recordError(Display*, XErrorEvent* event)
{
    s_testError = event->error_code;
    return 0;
}

} // namespace

// The boss key on a real X display: keys from XTest on the test's own connection while another
// top-level window has the focus, grabs checked against a second client.
class TestHotKey : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void virtualKeys_data();
    void virtualKeys();
    void modifierSets_data();
    void modifierSets();
    void keyTexts_data();
    void keyTexts();

    void pressFiresOnce_data();
    void pressFiresOnce();
    void otherCombinationsDoNotFire();
    void heldKeyFiresOnce();
    void registeringAgainKeepsOneGrab();
    void recreatedObjectRebinds();
    void overlappingObjectsForOneKey();
    void twoKeysEachFireForTheirOwn();
    void keyReleasedAfterAnotherGrabEnded();
    void keyHeldByAnotherClient();
    void destroyedObjectGivesKeyBack();
    void keyWithoutCodeNeverRegisters();

private:
    void fakeKey(quint32 keysym, bool press);
    void chord(const KeySyms& modifiers, quint32 keysym);
    bool settle();
    int otherClientGrab(quint32 keysym, unsigned mask);
    void otherClientUngrab(quint32 keysym, unsigned mask);
    unsigned numLockMask() const;
    unsigned lockedModifiers() const;

    Display* m_display = nullptr;
    QWidget* m_other = nullptr;
    KeyRecorder m_recorder;
    // Pressed after each case's keys: once it fires, every earlier key has been handled, so a
    // count can be checked for "no more" without waiting for a time.
    MyGlobalShortCut* m_sentinel = nullptr;
    QSignalSpy* m_sentinelSpy = nullptr;
};

void TestHotKey::initTestCase()
{
    QVERIFY2(platform::x11Available(), "needs an X display (run under test.sh)");
    m_display = XOpenDisplay(nullptr);
    QVERIFY(m_display);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    QVERIFY(XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor));

    // The program that has the focus while the hot key is pressed.
    m_other = new QWidget;
    m_other->setWindowTitle("other program");
    m_other->setFocusPolicy(Qt::StrongFocus);
    m_other->resize(300, 200);
    m_other->installEventFilter(&m_recorder);
    m_other->show();
    m_other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_other));

    m_sentinel = new MyGlobalShortCut("CTRL+SHIFT+F12", nullptr);
    m_sentinelSpy = new QSignalSpy(m_sentinel, &MyGlobalShortCut::activated);
    QVERIFY(settle());
}

void TestHotKey::init()
{
    if (!m_other)
        return;
    m_other->activateWindow();
    QTRY_VERIFY(m_other->isActiveWindow());
    // Keeps this case's key time stamps apart from the previous case's.
    QTest::qWait(5);
    m_recorder.keys.clear();
    m_recorder.modifiers.clear();
}

void TestHotKey::cleanup()
{
    if (!m_display)
        return;
    XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask | numLockMask(), 0);
    XSync(m_display, False);
}

void TestHotKey::cleanupTestCase()
{
    delete m_sentinelSpy;
    m_sentinelSpy = nullptr;
    delete m_sentinel;
    m_sentinel = nullptr;
    delete m_other;
    m_other = nullptr;
    if (m_display)
        XCloseDisplay(m_display);
    m_display = nullptr;
}

void TestHotKey::fakeKey(quint32 keysym, bool press)
{
    const KeyCode keycode = XKeysymToKeycode(m_display, keysym);
    QVERIFY2(keycode, "key symbol missing from the test keyboard");
    XTestFakeKeyEvent(m_display, keycode, press ? True : False, CurrentTime);
    XFlush(m_display);
}

void TestHotKey::chord(const KeySyms& modifiers, quint32 keysym)
{
    for (quint32 modifier : modifiers)
        fakeKey(modifier, true);
    fakeKey(keysym, true);
    fakeKey(keysym, false);
    for (int i = modifiers.size() - 1; i >= 0; --i)
        fakeKey(modifiers.at(i), false);
    XSync(m_display, False);
}

bool TestHotKey::settle()
{
    const int before = m_sentinelSpy->count();
    chord({XK_Control_L, XK_Shift_L}, XK_F12);
    return QTest::qWaitFor([&] { return m_sentinelSpy->count() > before; }) && m_sentinelSpy->count() == before + 1;
}

// Grab of another client (the test's own connection); the X error code, 0 when it succeeded.
int TestHotKey::otherClientGrab(quint32 keysym, unsigned mask)
{
    XSync(m_display, False);
    s_testError = 0;
    XErrorHandler previous = XSetErrorHandler(recordError);
    XGrabKey(m_display, XKeysymToKeycode(m_display, keysym), mask, DefaultRootWindow(m_display), False, GrabModeAsync,
             GrabModeAsync);
    XSync(m_display, False);
    XSetErrorHandler(previous);
    return s_testError;
}

void TestHotKey::otherClientUngrab(quint32 keysym, unsigned mask)
{
    XUngrabKey(m_display, XKeysymToKeycode(m_display, keysym), mask, DefaultRootWindow(m_display));
    XSync(m_display, False);
}

unsigned TestHotKey::numLockMask() const
{
    return XkbKeysymToModifiers(m_display, XK_Num_Lock);
}

unsigned TestHotKey::lockedModifiers() const
{
    XkbStateRec state;
    XkbGetState(m_display, XkbUseCoreKbd, &state);
    return state.locked_mods;
}

void TestHotKey::virtualKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("virtualKey");

    QTest::addRow("Escape") << int(Qt::Key_Escape) << 27;
    QTest::addRow("Tab") << int(Qt::Key_Tab) << 9;
    QTest::addRow("Backtab") << int(Qt::Key_Backtab) << 9;
    QTest::addRow("Backspace") << int(Qt::Key_Backspace) << 8;
    QTest::addRow("Return") << int(Qt::Key_Return) << 13;
    QTest::addRow("Enter") << int(Qt::Key_Enter) << 13;
    QTest::addRow("Delete") << int(Qt::Key_Delete) << 46;
    QTest::addRow("Pause") << int(Qt::Key_Pause) << 19;
    QTest::addRow("Print is VK_PRINT") << int(Qt::Key_Print) << 42;
    QTest::addRow("Clear") << int(Qt::Key_Clear) << 12;
    QTest::addRow("Home") << int(Qt::Key_Home) << 36;
    QTest::addRow("Left") << int(Qt::Key_Left) << 37;
    QTest::addRow("Down") << int(Qt::Key_Down) << 40;
    QTest::addRow("PageUp") << int(Qt::Key_PageUp) << 33;
    QTest::addRow("F1") << int(Qt::Key_F1) << 112;
    QTest::addRow("F24") << int(Qt::Key_F24) << 135;
    QTest::addRow("F25") << int(Qt::Key_F25) << 0;
    QTest::addRow("Space") << int(Qt::Key_Space) << 32;
    QTest::addRow("asterisk is keypad multiply") << int(Qt::Key_Asterisk) << 106;
    QTest::addRow("plus is keypad add") << int(Qt::Key_Plus) << 107;
    QTest::addRow("comma is separator") << int(Qt::Key_Comma) << 108;
    QTest::addRow("minus is keypad subtract") << int(Qt::Key_Minus) << 109;
    QTest::addRow("slash is keypad divide") << int(Qt::Key_Slash) << 111;
    QTest::addRow("0") << int(Qt::Key_0) << 48;
    QTest::addRow("A") << int(Qt::Key_A) << 65;
    QTest::addRow("full stop") << int(Qt::Key_Period) << 0;
    QTest::addRow("semicolon") << int(Qt::Key_Semicolon) << 0;
    QTest::addRow("bracket") << int(Qt::Key_BracketLeft) << 0;
    QTest::addRow("backslash") << int(Qt::Key_Backslash) << 0;
    QTest::addRow("equal") << int(Qt::Key_Equal) << 0;
    QTest::addRow("SysReq") << int(Qt::Key_SysReq) << 0;
    QTest::addRow("Menu") << int(Qt::Key_Menu) << 0;
    QTest::addRow("Caps Lock") << int(Qt::Key_CapsLock) << 0;
    QTest::addRow("Shift itself") << int(Qt::Key_Shift) << 0;
    QTest::addRow("keypad 5") << int(Qt::Key_5 | Qt::KeypadModifier) << 0;
}

void TestHotKey::virtualKeys()
{
    QFETCH(int, key);
    QFETCH(int, virtualKey);
    QCOMPARE(MyGlobalShortCut::nativeKeycode(Qt::Key(key)), quint32(virtualKey));
}

void TestHotKey::modifierSets_data()
{
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("native");

    QTest::addRow("none") << int(Qt::NoModifier) << 0;
    QTest::addRow("Alt") << int(Qt::AltModifier) << 1;
    QTest::addRow("Control") << int(Qt::ControlModifier) << 2;
    QTest::addRow("Shift") << int(Qt::ShiftModifier) << 4;
    QTest::addRow("Meta") << int(Qt::MetaModifier) << 8;
    QTest::addRow("Control and Alt") << int(Qt::ControlModifier | Qt::AltModifier) << 3;
    QTest::addRow("all four") << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
                              << 15;
    QTest::addRow("keypad and group switch ignored")
        << int(Qt::KeypadModifier | Qt::GroupSwitchModifier | Qt::ShiftModifier) << 4;
}

void TestHotKey::modifierSets()
{
    QFETCH(int, modifiers);
    QFETCH(int, native);
    QCOMPARE(MyGlobalShortCut::nativeModifiers(Qt::KeyboardModifiers(modifiers)), quint32(native));
}

void TestHotKey::keyTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("id");

    QTest::addRow("ALT+Q") << "ALT+Q" << 81 << 1 << 0x50;
    QTest::addRow("CTRL+F4") << "CTRL+F4" << 115 << 2 << 0x71;
    QTest::addRow("Meta+F1") << "Meta+F1" << 112 << 8 << 120;
    QTest::addRow("mixed case") << "Ctrl+Shift+Home" << 36 << 6 << (6 ^ 36);
    QTest::addRow("full stop") << "Alt+." << 0 << 1 << 1;
    QTest::addRow("two keys take the first") << "ALT+Q, CTRL+F4" << 81 << 1 << 0x50;
    QTest::addRow("keypad key") << "Alt+Num+5" << 0 << 1 << 1;
    QTest::addRow("empty") << "" << 0 << 0 << 0;
    QTest::addRow("not a key") << "nonsense+" << 0 << 0 << 0;
}

void TestHotKey::keyTexts()
{
    QFETCH(QString, text);
    QFETCH(int, virtualKey);
    QFETCH(int, modifiers);
    QFETCH(int, id);

    const MyGlobalShortCut::NativeKey native = MyGlobalShortCut::nativeHotKey(text);
    QCOMPARE(native.virtualKey, quint32(virtualKey));
    QCOMPARE(native.modifiers, quint32(modifiers));
    QCOMPARE(native.id(), quint32(id));
}

void TestHotKey::pressFiresOnce_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<KeySyms>("modifierKeys");
    QTest::addColumn<quint32>("keysym");
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<bool>("capsLock");
    QTest::addColumn<bool>("numLock");

    const KeySyms alt{XK_Alt_L};
    QTest::addRow("Alt+Q") << "ALT+Q" << alt << quint32(XK_q) << int(Qt::Key_Q) << false << false;
    QTest::addRow("Alt+Q with Caps Lock") << "ALT+Q" << alt << quint32(XK_q) << int(Qt::Key_Q) << true << false;
    QTest::addRow("Alt+Q with Num Lock") << "ALT+Q" << alt << quint32(XK_q) << int(Qt::Key_Q) << false << true;
    QTest::addRow("Alt+Q with both locks") << "ALT+Q" << alt << quint32(XK_q) << int(Qt::Key_Q) << true << true;
    QTest::addRow("Ctrl+F4") << "CTRL+F4" << KeySyms{XK_Control_L} << quint32(XK_F4) << int(Qt::Key_F4) << false
                             << false;
    QTest::addRow("Meta+F5 with Num Lock")
        << "Meta+F5" << KeySyms{XK_Super_L} << quint32(XK_F5) << int(Qt::Key_F5) << false << true;
    QTest::addRow("all four modifiers") << "Shift+Ctrl+Alt+Meta+A"
                                        << KeySyms{XK_Shift_L, XK_Control_L, XK_Alt_L, XK_Super_L} << quint32(XK_a)
                                        << int(Qt::Key_A) << true << false;
    QTest::addRow("asterisk is the keypad key")
        << "Alt+*" << alt << quint32(XK_KP_Multiply) << int(Qt::Key_Asterisk) << false << false;
    QTest::addRow("Return also on the keypad")
        << "Ctrl+Return" << KeySyms{XK_Control_L} << quint32(XK_KP_Enter) << int(Qt::Key_Enter) << false << true;
}

void TestHotKey::pressFiresOnce()
{
    QFETCH(QString, text);
    QFETCH(KeySyms, modifierKeys);
    QFETCH(quint32, keysym);
    QFETCH(int, qtKey);
    QFETCH(bool, capsLock);
    QFETCH(bool, numLock);

    const unsigned locks = (capsLock ? LockMask : 0) | (numLock ? numLockMask() : 0);
    if (numLock)
        QVERIFY2(numLockMask(), "Num Lock is not a modifier on this keyboard");
    XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask | numLockMask(), locks);
    XSync(m_display, False);
    QTRY_COMPARE(lockedModifiers() & (LockMask | numLockMask()), locks);

    MyGlobalShortCut shortcut(text, m_other);
    QVERIFY(shortcut.registerHotKey());
    QSignalSpy spy(&shortcut, &MyGlobalShortCut::activated);
    chord(modifierKeys, keysym);
    QTRY_COMPARE(spy.count(), 1);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 1);
    // The focused program never saw the key.
    QVERIFY2(!m_recorder.keys.contains(qtKey), qPrintable(QString::number(m_recorder.keys.size())));

    chord(modifierKeys, keysym);
    QTRY_COMPARE(spy.count(), 2);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 2);
}

void TestHotKey::otherCombinationsDoNotFire()
{
    MyGlobalShortCut shortcut("ALT+Q", nullptr);
    QSignalSpy spy(&shortcut, &MyGlobalShortCut::activated);
    chord({}, XK_q);
    chord({XK_Shift_L, XK_Alt_L}, XK_q);
    chord({XK_Control_L, XK_Alt_L}, XK_q);
    chord({XK_Alt_L}, XK_w);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 0);
    // Keys that are not the hot key go on to the focused program.
    QTRY_VERIFY(m_recorder.keys.contains(int(Qt::Key_Q)));
    QTRY_VERIFY(m_recorder.keys.contains(int(Qt::Key_W)));
}

void TestHotKey::heldKeyFiresOnce()
{
    MyGlobalShortCut shortcut("ALT+Q", nullptr);
    QSignalSpy spy(&shortcut, &MyGlobalShortCut::activated);
    fakeKey(XK_Alt_L, true);
    fakeKey(XK_q, true);
    QTRY_COMPARE(spy.count(), 1);
    // Held past the keyboard's repeat delay, so the server sends repeats.
    unsigned int delay = 660, interval = 40;
    XkbGetAutoRepeatRate(m_display, XkbUseCoreKbd, &delay, &interval);
    QTest::qWait(int(delay + 10 * interval));
    fakeKey(XK_q, false);
    fakeKey(XK_Alt_L, false);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 1);

    // After the release a new press counts again.
    QTest::qWait(5);
    chord({XK_Alt_L}, XK_q);
    QTRY_COMPARE(spy.count(), 2);
}

void TestHotKey::registeringAgainKeepsOneGrab()
{
    MyGlobalShortCut shortcut("ALT+Q", nullptr);
    QSignalSpy spy(&shortcut, &MyGlobalShortCut::activated);
    QVERIFY(shortcut.registerHotKey());
    QVERIFY(shortcut.registerHotKey());
    chord({XK_Alt_L}, XK_q);
    QTRY_COMPARE(spy.count(), 1);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 1);

    QVERIFY(shortcut.unregisterHotKey());
    QVERIFY(!shortcut.unregisterHotKey());
    chord({XK_Alt_L}, XK_q);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 1);
}

void TestHotKey::recreatedObjectRebinds()
{
    // As the settings do when the boss key changes: the old object goes, a new one comes.
    std::unique_ptr<MyGlobalShortCut> shortcut;
    for (int i = 0; i < 6; ++i) {
        shortcut.reset();
        shortcut.reset(new MyGlobalShortCut(i % 2 ? "ALT+D" : "ALT+Q", nullptr));
    }
    QSignalSpy spy(shortcut.get(), &MyGlobalShortCut::activated);
    chord({XK_Alt_L}, XK_q);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 0);
    QTRY_VERIFY(m_recorder.keys.contains(int(Qt::Key_Q)));

    chord({XK_Alt_L}, XK_d);
    QTRY_COMPARE(spy.count(), 1);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 1);
}

void TestHotKey::overlappingObjectsForOneKey()
{
    // A new object made before the old one is deleted takes the key over; the key stays grabbed
    // until the last holder goes, and each press fires once in all.
    auto older = std::make_unique<MyGlobalShortCut>("ALT+Q", nullptr);
    auto newer = std::make_unique<MyGlobalShortCut>("ALT+Q", nullptr);
    QVERIFY(older->registerHotKey());
    QVERIFY(newer->registerHotKey());
    QSignalSpy olderSpy(older.get(), &MyGlobalShortCut::activated);
    QSignalSpy newerSpy(newer.get(), &MyGlobalShortCut::activated);
    chord({XK_Alt_L}, XK_q);
    QTRY_COMPARE(olderSpy.count() + newerSpy.count(), 1);
    QVERIFY(settle());
    QCOMPARE(olderSpy.count() + newerSpy.count(), 1);

    older.reset();
    chord({XK_Alt_L}, XK_q);
    QTRY_COMPARE(newerSpy.count(), 2);
    QVERIFY(settle());
    QCOMPARE(newerSpy.count(), 2);
    QVERIFY(!m_recorder.keys.contains(int(Qt::Key_Q)));
}

void TestHotKey::twoKeysEachFireForTheirOwn()
{
    MyGlobalShortCut quit("ALT+Q", nullptr);
    MyGlobalShortCut desk("ALT+D", nullptr);
    QSignalSpy quitSpy(&quit, &MyGlobalShortCut::activated);
    QSignalSpy deskSpy(&desk, &MyGlobalShortCut::activated);

    chord({XK_Alt_L}, XK_q);
    QVERIFY(settle());
    QCOMPARE(quitSpy.count(), 1);
    QCOMPARE(deskSpy.count(), 0);

    chord({XK_Alt_L}, XK_d);
    chord({XK_Alt_L}, XK_d);
    QVERIFY(settle());
    QCOMPARE(quitSpy.count(), 1);
    QCOMPARE(deskSpy.count(), 2);
}

void TestHotKey::keyReleasedAfterAnotherGrabEnded()
{
    MyGlobalShortCut quit("ALT+Q", nullptr);
    MyGlobalShortCut desk("ALT+D", nullptr);
    QSignalSpy quitSpy(&quit, &MyGlobalShortCut::activated);
    QSignalSpy deskSpy(&desk, &MyGlobalShortCut::activated);

    // Q goes down while Alt+D holds the keyboard, but comes up after D, when the keyboard is
    // free again: its release reaches the focused program, not the hot keys.
    fakeKey(XK_Alt_L, true);
    fakeKey(XK_d, true);
    fakeKey(XK_q, true);
    fakeKey(XK_d, false);
    fakeKey(XK_q, false);
    fakeKey(XK_Alt_L, false);
    QVERIFY(settle());
    QCOMPARE(deskSpy.count(), 1);
    QCOMPARE(quitSpy.count(), 1);

    // Later, once a held key would have repeated, Q is not taken for still held.
    unsigned int delay = 660, interval = 40;
    XkbGetAutoRepeatRate(m_display, XkbUseCoreKbd, &delay, &interval);
    QTest::qWait(int(delay + 500));
    chord({XK_Alt_L}, XK_q);
    QTRY_COMPARE(quitSpy.count(), 2);
}

void TestHotKey::keyHeldByAnotherClient()
{
    QCOMPARE(otherClientGrab(XK_q, Mod1Mask), 0);

    MyGlobalShortCut shortcut("ALT+Q", nullptr);
    QVERIFY(!shortcut.registerHotKey());
    // The variants it did get (Caps Lock, Num Lock) were given back at once.
    QCOMPARE(otherClientGrab(XK_q, Mod1Mask | LockMask), 0);
    otherClientUngrab(XK_q, Mod1Mask | LockMask);

    otherClientUngrab(XK_q, Mod1Mask);
    QVERIFY(shortcut.registerHotKey());
    QSignalSpy spy(&shortcut, &MyGlobalShortCut::activated);
    chord({XK_Alt_L}, XK_q);
    QTRY_COMPARE(spy.count(), 1);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 1);
}

void TestHotKey::destroyedObjectGivesKeyBack()
{
    auto shortcut = std::make_unique<MyGlobalShortCut>("ALT+Q", nullptr);
    QVERIFY(shortcut->registerHotKey());
    QVERIFY(otherClientGrab(XK_q, Mod1Mask) != 0);
    shortcut.reset();

    for (unsigned lock : {0u, unsigned(LockMask), numLockMask(), LockMask | numLockMask()}) {
        QCOMPARE(otherClientGrab(XK_q, Mod1Mask | lock), 0);
        otherClientUngrab(XK_q, Mod1Mask | lock);
    }
    chord({XK_Alt_L}, XK_q);
    QTRY_VERIFY(m_recorder.keys.contains(int(Qt::Key_Q)));
    const int at = m_recorder.keys.indexOf(int(Qt::Key_Q));
    QVERIFY(m_recorder.modifiers.at(at) & Qt::AltModifier);

    // A plain platform hot key whose owner dies goes the same way.
    {
        platform::HotKey hotKey;
        QVERIFY(hotKey.grab('Q', platform::HotKeyAlt));
        QVERIFY(hotKey.isGrabbed());
    }
    QCOMPARE(otherClientGrab(XK_q, Mod1Mask), 0);
    otherClientUngrab(XK_q, Mod1Mask);
}

void TestHotKey::keyWithoutCodeNeverRegisters()
{
    for (const char* text : {"Alt+.", "", "Alt+Num+5"}) {
        MyGlobalShortCut shortcut(text, nullptr);
        QVERIFY2(!shortcut.registerHotKey(), text);
    }
    MyGlobalShortCut stop("Alt+.", nullptr);
    QSignalSpy spy(&stop, &MyGlobalShortCut::activated);
    chord({XK_Alt_L}, XK_period);
    QVERIFY(settle());
    QCOMPARE(spy.count(), 0);
    QTRY_VERIFY(m_recorder.keys.contains(int(Qt::Key_Period)));
}

QTEST_MAIN(TestHotKey)
#include "test_hotkey.moc"
