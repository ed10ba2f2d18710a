#include "app/app.h"
#include "typing/keycount.h"

#include <QtTest>

// Counting of hook words and the X key code table behind them.
class TestKeyCount : public QObject
{
    Q_OBJECT

private slots:
    void countWord_data();
    void countWord();
    void heldKeyCountsOnce();
    void altChordCountsOnlyAlt();
    void appGlobalsVariant();
    void keycodeScan_data();
    void keycodeScan();
    void hookWord_data();
    void hookWord();
    void everyStandardKeyHasAHand();
};

void TestKeyCount::countWord_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<int>("kongGe");
    QTest::addColumn<bool>("countSelect");
    // Expected counters: select, key, enter, back, left, right.
    QTest::addColumn<QVector<int>>("expected");

    using V = QVector<int>;
    // Selection keys, with and without the own input-method panel.
    QTest::addRow("digit 2 selects") << 0x03 << 0 << true << V{1, 0, 0, 0, 1, 0};
    QTest::addRow("digit 2 with own panel") << 0x03 << 0 << false << V{0, 0, 0, 0, 1, 0};
    QTest::addRow("digit 0 selects") << 0x0B << 0 << true << V{1, 0, 0, 0, 0, 1};
    QTest::addRow("digit 1 never selects") << 0x02 << 0 << true << V{0, 0, 0, 0, 1, 0};
    QTest::addRow("semicolon selects") << 0x27 << 0 << true << V{1, 0, 0, 0, 0, 1};
    QTest::addRow("keypad 5 selects") << 0x4C << 0 << true << V{1, 0, 0, 0, 0, 1};
    QTest::addRow("keypad 1 never selects") << 0x4F << 0 << true << V{0, 0, 0, 0, 0, 1};
    // Enter and back keys.
    QTest::addRow("Enter") << 0x1C << 0 << true << V{0, 0, 1, 0, 0, 1};
    QTest::addRow("keypad Enter") << 0x11C << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("Backspace") << 0x0E << 0 << true << V{0, 0, 0, 1, 0, 1};
    QTest::addRow("Esc") << 0x01 << 0 << true << V{0, 0, 0, 1, 1, 0};
    // Keys that type nothing but count as keys.
    QTest::addRow("Caps Lock") << 0x3A << 0 << true << V{0, 1, 0, 0, 1, 0};
    QTest::addRow("left Shift") << 0x2A << 0 << true << V{0, 1, 0, 0, 1, 0};
    QTest::addRow("right Shift") << 0x36 << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("Print Screen down") << 0x137 << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("Print Screen up") << 0xC137 << 0 << true << V{0, 1, 0, 0, 0, 1};
    // Alt and keys under Alt.
    QTest::addRow("left Alt down") << 0x2038 << 0 << true << V{0, 0, 0, 0, 1, 0};
    QTest::addRow("right Alt down") << 0x2138 << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("left Alt repeat") << 0x6038 << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("Q") << 0x10 << 0 << true << V{0, 0, 0, 0, 1, 0};
    QTest::addRow("Alt+Q") << 0x2010 << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("Alt+2") << 0x2003 << 0 << true << V{0, 0, 0, 0, 0, 0};
    // Repeat and release bits are never counted.
    QTest::addRow("A repeat") << 0x401E << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("A up") << 0xC01E << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("Enter repeat") << 0x401C << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("Backspace repeat") << 0x400E << 0 << true << V{0, 0, 0, 0, 0, 0};
    // The space bar by hand setting.
    QTest::addRow("space, right hand") << 0x39 << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("space, left hand") << 0x39 << 1 << true << V{0, 0, 0, 0, 1, 0};
    QTest::addRow("space, not counted") << 0x39 << 2 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("space, unknown setting") << 0x39 << 3 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("space repeat, right hand") << 0x4039 << 0 << true << V{0, 0, 0, 0, 0, 0};
    // Other hand settings leave the rest of the keyboard alone; an unknown one stops all hands.
    QTest::addRow("A, space left") << 0x1E << 1 << true << V{0, 0, 0, 0, 1, 0};
    QTest::addRow("A, unknown setting") << 0x1E << 3 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("Esc, unknown setting") << 0x01 << 3 << true << V{0, 0, 0, 1, 0, 0};
    QTest::addRow("digit 2, negative setting") << 0x03 << -1 << true << V{1, 0, 0, 0, 0, 0};
    QTest::addRow("Print Screen up, unknown setting") << 0xC137 << 7 << true << V{0, 1, 0, 0, 0, 0};
    // Keys in no hand set, and their neighbours that are.
    QTest::addRow("F10") << 0x44 << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("F5") << 0x3F << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("F11") << 0x57 << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("left Windows") << 0x15B << 0 << true << V{0, 0, 0, 0, 1, 0};
    QTest::addRow("right Windows") << 0x15C << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("menu key") << 0x15D << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("right Ctrl") << 0x11D << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("Num Lock") << 0x145 << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("Pause") << 0x45 << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("Delete") << 0x153 << 0 << true << V{0, 0, 0, 0, 0, 1};
    QTest::addRow("extended 0x14C") << 0x14C << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("102nd key") << 0x56 << 0 << true << V{0, 0, 0, 0, 0, 0};
    QTest::addRow("word 0xFFFF") << 0xFFFF << 0 << true << V{0, 0, 0, 0, 0, 0};
}

void TestKeyCount::countWord()
{
    QFETCH(int, word);
    QFETCH(int, kongGe);
    QFETCH(bool, countSelect);
    QFETCH(QVector<int>, expected);

    HookCounters counters;
    countHookWord(quint16(word), kongGe, countSelect, counters);
    const QVector<int> actual{counters.selectCount, counters.keyCount, counters.enterCount,
                              counters.backCount,   counters.leftKeys, counters.rightKeys};
    QCOMPARE(actual, expected);

    // Counting adds: a second word raises the same counters once more.
    countHookWord(quint16(word), kongGe, countSelect, counters);
    QCOMPARE(counters.leftKeys, 2 * expected.at(4));
    QCOMPARE(counters.selectCount, 2 * expected.at(0));
}

void TestKeyCount::heldKeyCountsOnce()
{
    // Backspace held down: one first press, a run of repeats, one release.
    constexpr quint8 backspace = 22;
    HookCounters counters;
    countHookWord(hookWordForKey(backspace, true, false, false), 0, true, counters);
    for (int i = 0; i < 20; ++i)
        countHookWord(hookWordForKey(backspace, true, true, false), 0, true, counters);
    countHookWord(hookWordForKey(backspace, false, false, false), 0, true, counters);
    QCOMPARE(counters.backCount, 1);
    QCOMPARE(counters.rightKeys, 1);
    QCOMPARE(counters.leftKeys + counters.keyCount + counters.enterCount + counters.selectCount, 0);
}

void TestKeyCount::altChordCountsOnlyAlt()
{
    // Alt+2 as the X events arrive: Alt down, 2 down with Alt held, 2 up, Alt up.
    constexpr quint8 digit2 = 11;
    HookCounters counters;
    countHookWord(hookWordForKey(LeftAltKeycode, true, false, false), 0, true, counters);
    countHookWord(hookWordForKey(digit2, true, false, true), 0, true, counters);
    countHookWord(hookWordForKey(digit2, false, false, true), 0, true, counters);
    countHookWord(hookWordForKey(LeftAltKeycode, false, false, true), 0, true, counters);
    QCOMPARE(counters.leftKeys, 1);
    QCOMPARE(counters.selectCount, 0);
    QCOMPARE(counters.rightKeys + counters.keyCount + counters.enterCount + counters.backCount, 0);
}

void TestKeyCount::appGlobalsVariant()
{
    App::SelectCount = App::KeyCount = App::EnterCount = App::BackCount = 0;
    App::LeftKeys = App::RightKeys = 0;
    App::CorrectCount = 5;
    App::KongGe = 1;
    App::CountSelectKeys = true;

    countHookWord(0x03); // digit 2: selection, left
    countHookWord(0x39); // space: left with KongGe 1
    countHookWord(0x0E); // Backspace: back, right
    countHookWord(0xC137);
    countHookWord(0x1C);
    App::CountSelectKeys = false;
    countHookWord(0x04); // digit 3 while the own panel is in use: hand only

    QCOMPARE(App::SelectCount, 1);
    QCOMPARE(App::KeyCount, 1);
    QCOMPARE(App::EnterCount, 1);
    QCOMPARE(App::BackCount, 1);
    QCOMPARE(App::LeftKeys, 3);
    QCOMPARE(App::RightKeys, 3);
    QCOMPARE(App::CorrectCount, 5);
    App::CountSelectKeys = true;
}

void TestKeyCount::keycodeScan_data()
{
    QTest::addColumn<int>("keycode");
    QTest::addColumn<int>("scan");

    QTest::addRow("Esc") << 9 << 0x01;
    QTest::addRow("1") << 10 << 0x02;
    QTest::addRow("Backspace") << 22 << 0x0E;
    QTest::addRow("A") << 38 << 0x1E;
    QTest::addRow("Return") << 36 << 0x1C;
    QTest::addRow("left Shift") << 50 << 0x2A;
    QTest::addRow("keypad *") << 63 << 0x37;
    QTest::addRow("left Alt") << 64 << 0x38;
    QTest::addRow("space") << 65 << 0x39;
    QTest::addRow("Caps Lock") << 66 << 0x3A;
    QTest::addRow("F10") << 76 << 0x44;
    QTest::addRow("Num Lock") << 77 << 0x145;
    QTest::addRow("keypad .") << 91 << 0x53;
    QTest::addRow("F11") << 95 << 0x57;
    QTest::addRow("F12") << 96 << 0x58;
    QTest::addRow("keypad Enter") << 104 << 0x11C;
    QTest::addRow("right Ctrl") << 105 << 0x11D;
    QTest::addRow("keypad /") << 106 << 0x135;
    QTest::addRow("Print Screen") << 107 << 0x137;
    QTest::addRow("right Alt") << 108 << 0x138;
    QTest::addRow("Home") << 110 << 0x147;
    QTest::addRow("Up") << 111 << 0x148;
    QTest::addRow("Left") << 113 << 0x14B;
    QTest::addRow("Down") << 116 << 0x150;
    QTest::addRow("Delete") << 119 << 0x153;
    QTest::addRow("Pause") << 127 << 0x45;
    QTest::addRow("left Windows") << 133 << 0x15B;
    QTest::addRow("right Windows") << 134 << 0x15C;
    QTest::addRow("menu") << 135 << 0x15D;
    // Codes without a scan code.
    QTest::addRow("keycode 0") << 0 << 0;
    QTest::addRow("Level3 shift") << 92 << 0;
    QTest::addRow("Mute") << 121 << 0;
    QTest::addRow("keycode 255") << 255 << 0;
}

void TestKeyCount::keycodeScan()
{
    QFETCH(int, keycode);
    QFETCH(int, scan);
    QCOMPARE(int(hookScanForKeycode(quint8(keycode))), scan);
}

void TestKeyCount::hookWord_data()
{
    QTest::addColumn<int>("keycode");
    QTest::addColumn<bool>("press");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<bool>("altHeld");
    QTest::addColumn<int>("word");

    QTest::addRow("A down") << 38 << true << false << false << 0x1E;
    QTest::addRow("A repeat") << 38 << true << true << false << 0x401E;
    QTest::addRow("A up") << 38 << false << false << false << 0xC01E;
    QTest::addRow("left Alt down") << 64 << true << false << false << 0x2038;
    QTest::addRow("left Alt repeat") << 64 << true << true << true << 0x6038;
    QTest::addRow("left Alt up") << 64 << false << false << true << 0xC038;
    QTest::addRow("right Alt down") << 108 << true << false << false << 0x2138;
    QTest::addRow("right Alt up") << 108 << false << false << true << 0xC138;
    QTest::addRow("Q under Alt") << 24 << true << false << true << 0x2010;
    QTest::addRow("Q up under Alt") << 24 << false << false << true << 0xE010;
    QTest::addRow("Print Screen down") << 107 << true << false << false << 0x137;
    QTest::addRow("Print Screen up") << 107 << false << false << false << 0xC137;
    QTest::addRow("keypad Enter down") << 104 << true << false << false << 0x11C;
    QTest::addRow("Delete repeat") << 119 << true << true << false << 0x4153;
    QTest::addRow("Mute down") << 121 << true << false << false << 0;
    QTest::addRow("Mute up under Alt") << 121 << false << false << true << 0;
}

void TestKeyCount::hookWord()
{
    QFETCH(int, keycode);
    QFETCH(bool, press);
    QFETCH(bool, repeat);
    QFETCH(bool, altHeld);
    QFETCH(int, word);
    QCOMPARE(int(hookWordForKey(quint8(keycode), press, repeat, altHeld)), word);
}

void TestKeyCount::everyStandardKeyHasAHand()
{
    // The first press of every key of a standard keyboard raises exactly one hand counter, except
    // F10, the right Windows key and Print Screen (which counts on release), and the 102nd key
    // that a standard US board lacks. Catches a key code mapped to a word outside the hand sets.
    const QList<int> handless{76, 94, 107, 134};
    QList<int> missing;
    for (int keycode = 9; keycode <= 135; ++keycode) {
        const quint16 word = hookWordForKey(quint8(keycode), true, false, false);
        if (word == 0)
            continue;
        const quint8 hands = hookCounterMask(word, SpaceRightHand, true) & (CountsLeft | CountsRight);
        QVERIFY2(hands != (CountsLeft | CountsRight), qPrintable(QString::number(keycode)));
        if (hands == 0)
            missing.append(keycode);
    }
    QCOMPARE(missing, handless);
}

QTEST_GUILESS_MAIN(TestKeyCount)
#include "test_keycount.moc"
