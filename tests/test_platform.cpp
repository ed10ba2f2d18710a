// The platform layer without a display: the key words of X key events and their counting, and the
// fake desktop that stands in for the real one in the window tests.
#include "platform/fakewindowsystem.h"
#include "platform/keyword.h"
#include "typing/core/keycount.h"

#include <QtTest>

using namespace platform;

namespace {

// The counters raised, as letters: Select, Key, Enter, Back, Left, Right ("" for none).
QString raised(const HookCounters& c)
{
    QString out;
    const int counts[] = {c.selectCount, c.keyCount, c.enterCount, c.backCount, c.leftKeys, c.rightKeys};
    for (int i = 0; i < 6; ++i)
        out += QString(counts[i], QLatin1Char("SKEBLR"[i]));
    return out;
}

constexpr WindowHandle Chat = 0x2a;
constexpr WindowHandle Self = 0x51;

// A desktop with the trainer on top and in front, the chat window below it.
void addWindows(FakeWindowSystem& desktop, FakeWindowSystem::Window chat = {Chat})
{
    desktop.addWindow(chat);
    desktop.addWindow({Self});
    desktop.setForeground(Self);
}

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    // Counting of hook words and the X key code table behind them.
    void countWord_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("kongGe");
        QTest::addColumn<bool>("countSelect");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("digit 2 selects") << 0x03 << 0 << true << "SL";
        QTest::addRow("digit 2 with own panel") << 0x03 << 0 << false << "L";
        QTest::addRow("digit 0 selects") << 0x0B << 0 << true << "SR";
        QTest::addRow("digit 1 never selects") << 0x02 << 0 << true << "L";
        QTest::addRow("semicolon selects") << 0x27 << 0 << true << "SR";
        QTest::addRow("keypad 5 selects") << 0x4C << 0 << true << "SR";
        QTest::addRow("keypad 1 never selects") << 0x4F << 0 << true << "R";
        QTest::addRow("keypad minus never selects") << 0x4A << 0 << true << "R";
        QTest::addRow("Enter") << 0x1C << 0 << true << "ER";
        QTest::addRow("keypad Enter") << 0x11C << 0 << true << "R";
        QTest::addRow("Backspace") << 0x0E << 0 << true << "BR";
        QTest::addRow("Esc") << 0x01 << 0 << true << "BL";
        QTest::addRow("Caps Lock") << 0x3A << 0 << true << "KL";
        QTest::addRow("left Shift") << 0x2A << 0 << true << "KL";
        QTest::addRow("right Shift") << 0x36 << 0 << true << "R";
        QTest::addRow("Print Screen down") << 0x137 << 0 << true << "";
        QTest::addRow("Print Screen up") << 0xC137 << 0 << true << "KR";
        QTest::addRow("left Alt down") << 0x2038 << 0 << true << "L";
        QTest::addRow("left Alt repeat") << 0x6038 << 0 << true << "";
        QTest::addRow("Alt+2") << 0x2003 << 0 << true << "";
        QTest::addRow("A up") << 0xC01E << 0 << true << "";
        QTest::addRow("space, right hand") << 0x39 << 0 << true << "R";
        QTest::addRow("space, left hand") << 0x39 << 1 << true << "L";
        QTest::addRow("space, not counted") << 0x39 << 2 << true << "";
        // Other hand settings leave the rest of the keyboard alone; an unknown one stops all hands.
        QTest::addRow("A, space left") << 0x1E << 1 << true << "L";
        QTest::addRow("digit 2, negative setting") << 0x03 << -1 << true << "S";
        QTest::addRow("Print Screen up, unknown setting") << 0xC137 << 7 << true << "K";
        QTest::addRow("left Windows") << 0x15B << 0 << true << "L";
        // clang-format on
    }

    void countWord()
    {
        QFETCH(int, word);
        QFETCH(int, kongGe);
        QFETCH(bool, countSelect);
        QFETCH(QString, expected);
        HookCounters counters;
        countHookWord(quint16(word), kongGe, countSelect, counters);
        QCOMPARE(raised(counters), expected);
        // Counting adds: a second word raises the same counters once more.
        countHookWord(quint16(word), kongGe, countSelect, counters);
        QCOMPARE(raised(counters), QString(expected).replace(QRegularExpression("(.)"), "\\1\\1"));
    }

    void hookWord_data()
    {
        QTest::addColumn<int>("keycode");
        QTest::addColumn<bool>("press");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<bool>("altHeld");
        QTest::addColumn<int>("word");
        QTest::addRow("A down") << 38 << true << false << false << 0x1E;
        QTest::addRow("A up") << 38 << false << false << false << 0xC01E;
        QTest::addRow("left Alt down") << 64 << true << false << false << 0x2038;
        QTest::addRow("left Alt repeat") << 64 << true << true << true << 0x6038;
        QTest::addRow("Q under Alt") << 24 << true << false << true << 0x2010;
        QTest::addRow("Q up under Alt") << 24 << false << false << true << 0xE010;
        QTest::addRow("Num Lock") << 77 << true << false << false << 0x145;
        QTest::addRow("F11") << 95 << true << false << false << 0x57;
        QTest::addRow("Print Screen up") << 107 << false << false << false << 0xC137;
        QTest::addRow("keypad Enter") << 104 << true << false << false << 0x11C;
        QTest::addRow("right Ctrl") << 105 << true << false << false << 0x11D; // a right-hand key
        QTest::addRow("right Alt down") << 108 << true << false << false << 0x2138; // a right-hand key too
        QTest::addRow("Level3 shift, no scan code") << 92 << false << false << true << 0;
    }

    void hookWord()
    {
        QFETCH(int, keycode);
        QFETCH(bool, press);
        QFETCH(bool, repeat);
        QFETCH(bool, altHeld);
        QFETCH(int, word);
        QCOMPARE(int(keyWordForKey(quint8(keycode), press, repeat, altHeld)), word);
    }

    void everyStandardKeyHasAHand()
    {
        // Every key of a standard keyboard raises a hand counter (never both: asserted when built) but F10,
        // right Windows, Print Screen (counts on release) and the 102nd; keys it lacks have no scan code.
        QList<int> handless;
        QList<int> scanless;
        for (int keycode = 9; keycode <= 135; ++keycode) {
            const quint16 word = keyWordForKey(quint8(keycode), true, false, false);
            if (word == 0)
                scanless.append(keycode);
            else if ((hookCounterMask(word, SpaceRightHand, true) & (CountsLeft | CountsRight)) == 0)
                handless.append(keycode);
        }
        QCOMPARE(handless, (QList<int>{76, 94, 107, 134}));
        QCOMPARE(scanless, (QList<int>{92,  93,  97,  98,  99,  100, 101, 102, 103, 109, 120,
                                       121, 122, 123, 124, 125, 126, 128, 129, 130, 131, 132}));
    }

    // The fake follows the X11 desktop's rules; the chat tests exercise its recording and reactions.
    void activation_data()
    {
        QTest::addColumn<QVector<bool>>("state"); // visible, enabled, minimised, accepts activation
        QTest::addColumn<bool>("active");
        QTest::addRow("normal window") << QVector<bool>{true, true, false, true} << true;
        QTest::addRow("minimised window is restored") << QVector<bool>{true, true, true, true} << true;
        QTest::addRow("hidden window") << QVector<bool>{false, true, false, true} << false;
        QTest::addRow("disabled window") << QVector<bool>{true, false, false, true} << false;
        QTest::addRow("refusing window") << QVector<bool>{true, true, false, false} << false;
    }

    void activation()
    {
        QFETCH(QVector<bool>, state);
        QFETCH(bool, active);
        FakeWindowSystem desktop;
        addWindows(desktop, {Chat, QString(), state[0], state[1], state[2], state[3]});
        QCOMPARE(desktop.setForegroundWindow(Chat, 300), active);
        QCOMPARE(desktop.foregroundWindow(), active ? Chat : Self);
        QCOMPARE(desktop.window(Chat)->minimized, state[2] && !active);
        // An activated window comes to the top of the list, as the X11 stacking list has it.
        QCOMPARE(desktop.topLevelWindows().first().handle, active ? Chat : Self);
    }

    void minimiseDropsFocusAndKeepsWindowVisible()
    {
        FakeWindowSystem desktop;
        addWindows(desktop);
        QVERIFY(desktop.setForegroundWindow(Chat));
        QVERIFY(desktop.showWindow(Chat, ShowCommand::Minimize));
        QVERIFY(desktop.window(Chat)->minimized && desktop.isWindowVisible(Chat));
        QCOMPARE(desktop.foregroundWindow(), WindowHandle(0));
        // A chord releases what it pressed, also around a refused key; a key with no key in this layer
        // is recorded and refused.
        QVERIFY(desktop.keyChord(vk::Control, vk::V) && desktop.heldKeys().isEmpty());
        QVERIFY(!desktop.keyChord(vk::Alt, 13) && desktop.heldKeys().isEmpty());
        QVERIFY(!desktop.keyEvent(13, false));
        QCOMPARE(desktop.callTexts().last(), QStringLiteral("keyEvent 13 down"));
        // A bad handle gives false and leaves the rectangle as it was.
        QRect rect(1, 2, 3, 4);
        QVERIFY(!desktop.clientRect(0x99, &rect) && !desktop.showWindow(0x99, ShowCommand::Minimize));
        QCOMPARE(rect, QRect(1, 2, 3, 4));
        QVERIFY(desktop.windowTitle(0x99).isEmpty() && !desktop.setForegroundWindow(0));
    }

    void defaultSystemActivatesNothing()
    {
        // Without a GUI application the default desktop is empty and activates nothing, so a test that
        // forgot to inject its own never sends a key.
        platform::WindowSystem& fallback = platform::windowSystem();
        QVERIFY(fallback.topLevelWindows().isEmpty() && !fallback.setForegroundWindow(Chat, 0));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
