#include "app/app.h"
#include "platform/display.h"
#include "platform/keysource.h"
#include "typing/keycount.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

#include <xcb/xproto.h>

// Xlib last: its macros clash with Qt's enum names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef None
#undef Bool
#undef Status
#undef Unsorted

using platform::KeySource;

namespace {

// X key codes of the evdev keymap.
constexpr quint8 KeyA = 38;
constexpr quint8 KeyQ = 24;
constexpr quint8 KeySemicolon = 47;
constexpr quint8 Key3 = 12;
constexpr quint8 KeySpace = 65;
constexpr quint8 KeyBackspace = 22;

QString hexWords(const QVector<quint16>& words)
{
    QStringList texts;
    for (quint16 word : words)
        texts << QString::number(word, 16);
    return texts.join(' ');
}

// Records the auto-repeat flag of the key presses a widget receives: proves that Qt still sees the
// keys, and still sees their repeats.
class KeyRecorder : public QObject
{
public:
    QVector<bool> autoRepeats;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            autoRepeats.append(static_cast<QKeyEvent*>(event)->isAutoRepeat());
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

// Real key events from the X server (XTest on the test's own connection) into a shown, focused
// window, watched by the key source on Qt's connection.
class TestKeySource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void tapReachesCallbackOnce_data();
    void tapReachesCallbackOnce();
    void altChord();
    void heldKeyRepeats();
    void lineEditTypingCounted();
    void removedSourceSeesNothing();
    void detectableRepeatAndSplitPairs();
    void rootAndFocusEvents();

private:
    void fakeKey(quint8 keycode, bool press);
    void tap(quint8 keycode);
    void waitForWords(int count);

    Display* m_display = nullptr;
    QWidget* m_window = nullptr;
    QWidget* m_pad = nullptr;
    QLineEdit* m_edit = nullptr;
    QVector<quint16> m_words;
    KeySource* m_source = nullptr;
};

void TestKeySource::initTestCase()
{
    QVERIFY2(platform::x11Available(), "needs an X display (run under test.sh)");
    m_display = XOpenDisplay(nullptr);
    QVERIFY(m_display);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    QVERIFY(XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor));

    m_window = new QWidget;
    m_window->setWindowTitle("key source test");
    auto* layout = new QVBoxLayout(m_window);
    m_pad = new QWidget(m_window);
    m_pad->setFocusPolicy(Qt::StrongFocus);
    m_pad->setMinimumSize(200, 100);
    m_edit = new QLineEdit(m_window);
    layout->addWidget(m_pad);
    layout->addWidget(m_edit);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));

    m_source = new KeySource([this](quint16 word) { m_words.append(word); });
    QVERIFY(m_source->install());
    QVERIFY(m_source->isInstalled());
}

void TestKeySource::init()
{
    m_pad->setFocus();
    QTRY_VERIFY(m_pad->hasFocus());
    // Separate the X time stamps of this case's keys from the previous case's, so a new press is
    // never taken for the second half of an auto-repeat pair.
    QTest::qWait(5);
    m_words.clear();
}

void TestKeySource::cleanupTestCase()
{
    delete m_source;
    m_source = nullptr;
    delete m_window;
    m_window = nullptr;
    if (m_display)
        XCloseDisplay(m_display);
    m_display = nullptr;
}

void TestKeySource::fakeKey(quint8 keycode, bool press)
{
    XTestFakeKeyEvent(m_display, keycode, press ? True : False, CurrentTime);
    XFlush(m_display);
}

void TestKeySource::tap(quint8 keycode)
{
    const int before = m_words.size();
    fakeKey(keycode, true);
    fakeKey(keycode, false);
    QTRY_VERIFY2(m_words.size() >= before + 2, qPrintable(hexWords(m_words)));
    QTest::qWait(5);
}

void TestKeySource::waitForWords(int count)
{
    QTRY_VERIFY_WITH_TIMEOUT(m_words.size() >= count, 5000);
    // Let anything that would arrive late (a duplicate, a held-back release) arrive too.
    QTest::qWait(50);
}

void TestKeySource::tapReachesCallbackOnce_data()
{
    QTest::addColumn<int>("keycode");
    QTest::addColumn<int>("down");
    // Expected counters of the tap: select, key, enter, back, left, right.
    QTest::addColumn<QVector<int>>("counted");

    using V = QVector<int>;
    QTest::addRow("A") << 38 << 0x1E << V{0, 0, 0, 0, 1, 0};
    QTest::addRow("digit 3") << 12 << 0x04 << V{1, 0, 0, 0, 1, 0};
    QTest::addRow("digit 1") << 10 << 0x02 << V{0, 0, 0, 0, 1, 0};
    QTest::addRow("Return") << 36 << 0x1C << V{0, 0, 1, 0, 0, 1};
    QTest::addRow("keypad Enter") << 104 << 0x11C << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("Backspace") << 22 << 0x0E << V{0, 0, 0, 1, 0, 1};
    QTest::addRow("Escape") << 9 << 0x01 << V{0, 0, 0, 1, 1, 0};
    QTest::addRow("left Shift") << 50 << 0x2A << V{0, 1, 0, 0, 1, 0};
    QTest::addRow("right Ctrl") << 105 << 0x11D << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("space") << 65 << 0x39 << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("Delete") << 119 << 0x153 << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("right Shift") << 62 << 0x36 << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("Home") << 110 << 0x147 << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("keypad 5") << 84 << 0x4C << V{1, 0, 0, 0, 0, 1};
    // Print Screen is left out: the window manager grabs it for screenshots.
    QTest::addRow("F10") << 76 << 0x44 << V{0, 0, 0, 0, 0, 0};
}

void TestKeySource::tapReachesCallbackOnce()
{
    QFETCH(int, keycode);
    QFETCH(int, down);
    QFETCH(QVector<int>, counted);

    fakeKey(quint8(keycode), true);
    fakeKey(quint8(keycode), false);
    waitForWords(2);
    const QVector<quint16> words = m_words;
    QCOMPARE(hexWords(words), hexWords({quint16(down), quint16(down | HookRelease | HookRepeat)}));

    HookCounters counters;
    for (quint16 word : words)
        countHookWord(word, SpaceRightHand, true, counters);
    const QVector<int> actual{counters.selectCount, counters.keyCount, counters.enterCount,
                              counters.backCount,   counters.leftKeys, counters.rightKeys};
    QCOMPARE(actual, counted);
}

void TestKeySource::altChord()
{
    fakeKey(LeftAltKeycode, true);
    fakeKey(KeyQ, true);
    fakeKey(KeyQ, false);
    fakeKey(LeftAltKeycode, false);
    waitForWords(4);
    const QVector<quint16> words = m_words;
    QCOMPARE(hexWords(words), QStringLiteral("2038 2010 e010 c038"));

    HookCounters counters;
    for (quint16 word : words)
        countHookWord(word, SpaceRightHand, true, counters);
    QCOMPARE(counters.leftKeys, 1);
    QCOMPARE(counters.rightKeys + counters.selectCount + counters.keyCount, 0);
}

void TestKeySource::heldKeyRepeats()
{
    m_edit->clear();
    m_edit->setFocus();
    QTRY_VERIFY(m_edit->hasFocus());
    KeyRecorder recorder;
    m_edit->installEventFilter(&recorder);
    m_words.clear();

    // Hold the key past the server's repeat delay, until several repeats have come in.
    fakeKey(KeyA, true);
    QTRY_VERIFY_WITH_TIMEOUT(m_words.size() >= 4, 10000);
    fakeKey(KeyA, false);
    QTRY_VERIFY(!m_words.isEmpty() && (m_words.last() & HookRelease));
    QTest::qWait(50);
    m_edit->removeEventFilter(&recorder);

    QVERIFY2(m_words.size() >= 4, qPrintable(hexWords(m_words)));
    QCOMPARE(m_words.first(), quint16(0x1E));
    QCOMPARE(m_words.last(), quint16(0xC01E));
    for (int i = 1; i < m_words.size() - 1; ++i)
        QCOMPARE(m_words.at(i), quint16(0x401E));

    HookCounters counters;
    for (quint16 word : qAsConst(m_words))
        countHookWord(word, SpaceRightHand, true, counters);
    QCOMPARE(counters.leftKeys, 1);

    // The key source only watches: the pane got every repeat, and Qt still marks them as repeats.
    QCOMPARE(m_edit->text(), QString(m_words.size() - 1, QLatin1Char('a')));
    QCOMPARE(recorder.autoRepeats.size(), m_words.size() - 1);
    QCOMPARE(recorder.autoRepeats.first(), false);
    QCOMPARE(recorder.autoRepeats.last(), true);
}

void TestKeySource::lineEditTypingCounted()
{
    // The default callback feeds the run's counters.
    KeySource counting;
    QVERIFY(counting.install());
    m_edit->clear();
    m_edit->setFocus();
    QTRY_VERIFY(m_edit->hasFocus());
    m_words.clear();

    App::SelectCount = App::KeyCount = App::EnterCount = App::BackCount = 0;
    App::LeftKeys = App::RightKeys = App::CorrectCount = 0;
    App::KongGe = SpaceRightHand;
    App::CountSelectKeys = true;

    tap(KeyA);
    tap(KeySemicolon);
    tap(Key3);
    tap(KeySpace);
    tap(KeyBackspace);
    counting.remove();

    QCOMPARE(m_edit->text(), QStringLiteral("a;3"));
    QCOMPARE(m_words.size(), 10);
    QCOMPARE(App::SelectCount, 2); // ; and 3: the typing pane's filter takes these back later
    QCOMPARE(App::BackCount, 1);
    QCOMPARE(App::LeftKeys, 2);  // a, 3
    QCOMPARE(App::RightKeys, 3); // ;, space, Backspace
    QCOMPARE(App::KeyCount, 0);
    QCOMPARE(App::EnterCount, 0);
    QCOMPARE(App::CorrectCount, 0);
}

void TestKeySource::removedSourceSeesNothing()
{
    m_source->remove();
    QVERIFY(!m_source->isInstalled());
    KeyRecorder recorder;
    m_pad->installEventFilter(&recorder);
    fakeKey(KeyA, true);
    fakeKey(KeyA, false);
    // The window got the key; the removed source did not.
    QTRY_COMPARE(recorder.autoRepeats.size(), 1);
    QTest::qWait(50);
    m_pad->removeEventFilter(&recorder);
    QVERIFY2(m_words.isEmpty(), qPrintable(hexWords(m_words)));

    QVERIFY(m_source->install());
    QVERIFY(m_source->install()); // twice is harmless: still one delivery per event
    QTest::qWait(5);
    tap(KeyA);
    QTest::qWait(50);
    QCOMPARE(hexWords(m_words), QStringLiteral("1e c01e"));
}

namespace {

xcb_key_press_event_t keyEvent(quint8 type, quint8 keycode, quint32 time, quint16 state = 0,
                               xcb_window_t window = 0x200001)
{
    xcb_key_press_event_t event{};
    event.response_type = type;
    event.detail = keycode;
    event.time = time;
    event.root = 0x100;
    event.event = window;
    event.state = state;
    event.same_screen = 1;
    return event;
}

} // namespace

void TestKeySource::detectableRepeatAndSplitPairs()
{
    // Events as the server sends them in the two auto-repeat modes, fed to the filter the way Qt
    // hands them over; a separate source so the real display's keys do not mix in.
    QVector<quint16> words;
    KeySource source([&words](quint16 word) { words.append(word); });
    const QByteArray type("xcb_generic_event_t");
    auto feed = [&](xcb_key_press_event_t event) { QVERIFY(!source.nativeEventFilter(type, &event, nullptr)); };

    // Detectable auto-repeat: presses only, then one release.
    feed(keyEvent(XCB_KEY_PRESS, KeyA, 1000));
    feed(keyEvent(XCB_KEY_PRESS, KeyA, 1500));
    feed(keyEvent(XCB_KEY_PRESS, KeyA, 1540));
    feed(keyEvent(XCB_KEY_RELEASE, KeyA, 1560));
    QCoreApplication::processEvents();
    QCOMPARE(hexWords(words), QStringLiteral("1e 401e 401e c01e"));

    // Release/press pairs with one time stamp, the second pair split by a turn of the event loop.
    words.clear();
    feed(keyEvent(XCB_KEY_PRESS, KeyQ, 2000));
    feed(keyEvent(XCB_KEY_RELEASE, KeyQ, 2500));
    feed(keyEvent(XCB_KEY_PRESS, KeyQ, 2500));
    feed(keyEvent(XCB_KEY_RELEASE, KeyQ, 2540));
    QTRY_COMPARE(words.size(), 3); // the held-back release goes out on the next turn
    feed(keyEvent(XCB_KEY_PRESS, KeyQ, 2540));
    feed(keyEvent(XCB_KEY_RELEASE, KeyQ, 2600));
    QTRY_COMPARE(words.size(), 5);
    QCOMPARE(hexWords(words), QStringLiteral("10 4010 c010 4010 c010"));

    // A real second tap a moment later is a new press; another key in between ends the hold.
    words.clear();
    feed(keyEvent(XCB_KEY_PRESS, KeyQ, 2700));
    feed(keyEvent(XCB_KEY_RELEASE, KeyQ, 2750));
    feed(keyEvent(XCB_KEY_PRESS, KeyA, 2750));
    feed(keyEvent(XCB_KEY_PRESS, KeyQ, 2750));
    QCOMPARE(hexWords(words), QStringLiteral("10 c010 1e 10"));

    // Alt found in the state mask alone (pressed before the focus came to us).
    words.clear();
    feed(keyEvent(XCB_KEY_PRESS, Key3, 3000, XCB_MOD_MASK_1));
    QCOMPARE(hexWords(words), QStringLiteral("2004"));

    // An event sent by another client still counts.
    words.clear();
    feed(keyEvent(XCB_KEY_PRESS | 0x80, KeySpace, 3100));
    QCOMPARE(hexWords(words), QStringLiteral("39"));

    // Other event types pass untouched.
    QVERIFY(!source.nativeEventFilter("windows_generic_MSG", nullptr, nullptr));
    QCOMPARE(words.size(), 1);
}

void TestKeySource::rootAndFocusEvents()
{
    QVector<quint16> words;
    KeySource source([&words](quint16 word) { words.append(word); });
    const QByteArray type("xcb_generic_event_t");
    auto feed = [&](auto event) { QVERIFY(!source.nativeEventFilter(type, &event, nullptr)); };

    // A key grabbed on the root window (the system-wide hot key) is not ours to count.
    feed(keyEvent(XCB_KEY_PRESS, KeyA, 100, 0, 0x100));
    feed(keyEvent(XCB_KEY_RELEASE, KeyA, 150, 0, 0x100));
    QCoreApplication::processEvents();
    QVERIFY(words.isEmpty());

    // A key that went down here and up after the focus left is down no longer: its next press,
    // when the focus is back, is a new one.
    feed(keyEvent(XCB_KEY_PRESS, KeyBackspace, 200));
    xcb_focus_out_event_t focusOut{};
    focusOut.response_type = XCB_FOCUS_OUT;
    focusOut.detail = XCB_NOTIFY_DETAIL_NONLINEAR;
    focusOut.event = 0x200001;
    feed(focusOut);
    feed(keyEvent(XCB_KEY_PRESS, KeyBackspace, 900));
    QCOMPARE(hexWords(words), QStringLiteral("e e"));

    // Focus moving to a child window of ours forgets nothing: the held key keeps repeating.
    focusOut.detail = XCB_NOTIFY_DETAIL_INFERIOR;
    feed(focusOut);
    feed(keyEvent(XCB_KEY_PRESS, KeyBackspace, 950));
    QCOMPARE(hexWords(words), QStringLiteral("e e 400e"));
}

QTEST_MAIN(TestKeySource)
#include "test_keysource.moc"
