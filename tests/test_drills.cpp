#include "app/app.h"
#include "typing/drills.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

#include <algorithm>

Q_DECLARE_METATYPE(BuiltinDrill)

namespace {

// Code points of a text in ascending order: equal for two texts with the same characters, each as
// often, in any order.
QVector<uint> sortedCodePoints(const QString& text)
{
    QVector<uint> cps = text.toUcs4();
    std::sort(cps.begin(), cps.end());
    return cps;
}

// True when no surrogate stands without its partner.
bool surrogatesPaired(const QString& text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        } else if (text.at(i).isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

const QString SupplementaryA = QString::fromUcs4(U"\U00020000");
const QString SupplementaryB = QString::fromUcs4(U"\U0002A6D6");

} // namespace

class TestDrills : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void frequencyList();
    void drills_data();
    void drills();
    void drillsJoinToTheWholeList();
    void wholeDrill_data();
    void wholeDrill();

    void removeSpaces_data();
    void removeSpaces();

    void shuffleKeepsCharacters_data();
    void shuffleKeepsCharacters();
    void shuffleIsRepeatableBySeed();
    void shuffleOrdersAreEquallyLikely();

    void fileTitle_data();
    void fileTitle();
};

void TestDrills::initTestCase()
{
    App::initResources();
}

void TestDrills::frequencyList()
{
    const QString list = frequentCharacters();
    QCOMPARE(list.size(), FrequentCharCount);
    QVERIFY(list.startsWith(QStringLiteral("的一是了不")));

    QSet<QChar> seen;
    for (const QChar c : list) {
        QVERIFY2(!seen.contains(c), qPrintable(QStringLiteral("repeated: %1").arg(c)));
        seen.insert(c);
        // An ideograph of GB2312: no punctuation, no full-width letters, no traditional forms.
        QVERIFY2(c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF, qPrintable(QString(c)));
        QVERIFY2(App::isGbChar(QString(c)), qPrintable(QStringLiteral("not GB2312: %1").arg(c)));
    }
}

void TestDrills::drills_data()
{
    QTest::addColumn<BuiltinDrill>("drill");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("firstRank");

    QTest::addRow("front 500") << BuiltinDrill::Front500 << "常用单字前五百" << 500 << 1;
    QTest::addRow("middle 500") << BuiltinDrill::Middle500 << "常用单字中五百" << 500 << 501;
    QTest::addRow("back 500") << BuiltinDrill::Back500 << "常用单字后五百" << 500 << 1001;
    QTest::addRow("front 1500") << BuiltinDrill::Front1500 << "常用单字前1500" << 1500 << 1;
}

void TestDrills::drills()
{
    QFETCH(BuiltinDrill, drill);
    QFETCH(QString, title);
    QFETCH(int, length);
    QFETCH(int, firstRank);

    QCOMPARE(builtinDrillTitle(drill), title);
    QCOMPARE(builtinDrillLength(drill), length);
    QCOMPARE(builtinDrillLength(title), length);
    const QString text = builtinDrillText(drill);
    QCOMPARE(text.size(), length);
    QCOMPARE(text, frequentCharacters().mid(firstRank - 1, length));
}

void TestDrills::drillsJoinToTheWholeList()
{
    const QList<BuiltinDrill> all = builtinDrills();
    const QList<BuiltinDrill> menuOrder = {BuiltinDrill::Front500, BuiltinDrill::Middle500, BuiltinDrill::Back500,
                                           BuiltinDrill::Front1500};
    QCOMPARE(all, menuOrder);

    const QString front = builtinDrillText(BuiltinDrill::Front500);
    const QString joined = front + builtinDrillText(BuiltinDrill::Middle500) + builtinDrillText(BuiltinDrill::Back500);
    QCOMPARE(builtinDrillText(BuiltinDrill::Front1500), joined);
    QCOMPARE(joined, frequentCharacters());
    QVERIFY(front.startsWith(QStringLiteral("的一是了不")));
}

void TestDrills::wholeDrill_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("passageLength");
    QTest::addColumn<bool>("whole");

    QTest::addRow("front 500 whole") << "常用单字前五百" << 500 << true;
    QTest::addRow("middle 500 whole") << "常用单字中五百" << 500 << true;
    QTest::addRow("back 500 whole") << "常用单字后五百" << 500 << true;
    QTest::addRow("1500 whole") << "常用单字前1500" << 1500 << true;
    QTest::addRow("500 cut short") << "常用单字前五百" << 499 << false;
    QTest::addRow("1500 with a 500 length") << "常用单字前1500" << 500 << false;
    QTest::addRow("500 with a 1500 length") << "常用单字后五百" << 1500 << false;
    QTest::addRow("other title") << "剪切板" << 500 << false;
    QTest::addRow("title with a blank") << "常用单字前五百 " << 500 << false;
    QTest::addRow("empty title") << "" << 0 << false;
}

void TestDrills::wholeDrill()
{
    QFETCH(QString, title);
    QFETCH(int, passageLength);
    QFETCH(bool, whole);

    QCOMPARE(isWholeBuiltinDrill(title, passageLength), whole);
}

void TestDrills::removeSpaces_data()
{
    QTest::addColumn<QString>("passage");
    QTest::addColumn<QString>("expected");

    // clang-format off
    QTest::addRow("lines become one line") << "第一行\n第二行\r\n第三行" << "第一行第二行第三行";
    QTest::addRow("inner blanks and tabs") << "春 眠\t不  觉晓" << "春眠不觉晓";
    QTest::addRow("leading and trailing") << "  \n处处闻啼鸟\t\n" << "处处闻啼鸟";
    QTest::addRow("ideographic and no-break blanks") << QString::fromUtf16(u"夜来\u3000风雨\u00A0声") << "夜来风雨声";
    QTest::addRow("punctuation and latin kept") << "花落，知多少？ Hello, world!" << "花落，知多少？Hello,world!";
    QTest::addRow("supplementary characters kept")
        << SupplementaryA + " \n" + SupplementaryB << SupplementaryA + SupplementaryB;
    QTest::addRow("only white space") << " \t\r\n " << "";
    QTest::addRow("empty") << "" << "";
    // clang-format on
}

void TestDrills::removeSpaces()
{
    QFETCH(QString, passage);
    QFETCH(QString, expected);

    const QString result = ::removeSpaces(passage);
    QCOMPARE(result, expected);
    for (const QChar c : result)
        QVERIFY(!c.isSpace());
}

void TestDrills::shuffleKeepsCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("seed");

    QTest::addRow("empty") << QString() << 1u;
    QTest::addRow("one character") << "的" << 2u;
    QTest::addRow("one supplementary character") << SupplementaryA << 3u;
    QTest::addRow("repeated characters") << "的的的一一是" << 4u;
    QTest::addRow("mixed with punctuation and blanks") << "春眠不觉晓，处处闻啼鸟。 ab" << 5u;
    QTest::addRow("supplementary among BMP") << QStringLiteral("甲") + SupplementaryA + QStringLiteral("乙丙") +
                                                    SupplementaryB + SupplementaryA + QStringLiteral("丁")
                                             << 6u;
    QTest::addRow("only supplementary") << SupplementaryA + SupplementaryB + SupplementaryA + SupplementaryB << 7u;
    QTest::addRow("1500 drill") << builtinDrillText(BuiltinDrill::Front1500) << 8u;
}

void TestDrills::shuffleKeepsCharacters()
{
    QFETCH(QString, text);
    QFETCH(quint32, seed);

    // Several seeds: a pair split by one order but not another must still be caught.
    for (quint32 s = seed; s < seed + 50; ++s) {
        const QString shuffled = shuffleCharacters(text, s);
        QCOMPARE(shuffled.size(), text.size());
        QVERIFY2(surrogatesPaired(shuffled), qPrintable(QStringLiteral("seed %1").arg(s)));
        QCOMPARE(sortedCodePoints(shuffled), sortedCodePoints(text));
    }
}

void TestDrills::shuffleIsRepeatableBySeed()
{
    // Shuffles started within one second of the clock give one order; the next second another.
    const QDateTime start(QDate(2024, 5, 1), QTime(20, 15, 30, 10));
    QCOMPARE(shuffleSeed(start.addMSecs(980)), shuffleSeed(start));
    QCOMPARE(shuffleSeed(start.addMSecs(990)), shuffleSeed(start) + 1);

    const QString text = builtinDrillText(BuiltinDrill::Front500);
    const QString first = shuffleCharacters(text, shuffleSeed(start));
    QCOMPARE(shuffleCharacters(text, shuffleSeed(start.addMSecs(980))), first);
    QVERIFY(first != text);
    QVERIFY(shuffleCharacters(text, shuffleSeed(start.addMSecs(990))) != first);

    // The generator form draws from the caller's generator and moves it on.
    QRandomGenerator a(42);
    QRandomGenerator b(42);
    const QString fromA = shuffleCharacters(text, a);
    QCOMPARE(shuffleCharacters(text, b), fromA);
    QVERIFY(shuffleCharacters(text, a) != fromA);
}

void TestDrills::shuffleOrdersAreEquallyLikely()
{
    // Three characters have six orders. Swapping each place with any place would favour some of them
    // by a quarter; a fair shuffle keeps every count close to a sixth. The seed is fixed, so this
    // cannot fail by chance.
    const QString text = QStringLiteral("甲乙") + SupplementaryA;
    QRandomGenerator random(20240501);
    QHash<QString, int> counts;
    const int trials = 60000;
    for (int i = 0; i < trials; ++i)
        ++counts[shuffleCharacters(text, random)];

    QCOMPARE(counts.size(), 6);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        QVERIFY2(qAbs(it.value() - trials / 6) < 500,
                 qPrintable(QStringLiteral("%1: %2").arg(it.key()).arg(it.value())));
}

void TestDrills::fileTitle_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");

    QTest::addRow("txt in a folder") << "/home/user/文章/春晓.txt"
                                     << "春晓";
    QTest::addRow("txty") << "/tmp/练习.txty"
                          << "练习";
    QTest::addRow("no dot") << "/home/user/文章/无扩展名"
                            << "无扩展名";
    QTest::addRow("dot only in a folder") << "/home/user/my.texts/段落"
                                          << "段落";
    QTest::addRow("two dots") << "/data/a.b.txt"
                              << "a.b";
    QTest::addRow("no folder") << "标题.txt"
                               << "标题";
    QTest::addRow("only an extension") << "/home/user/.txt"
                                       << ".txt";
    QTest::addRow("trailing dot") << "/home/user/名字."
                                  << "名字";
    QTest::addRow("empty") << ""
                           << "";
}

void TestDrills::fileTitle()
{
    QFETCH(QString, fileName);
    QFETCH(QString, title);

    QCOMPARE(titleFromFileName(fileName), title);
}

QTEST_GUILESS_MAIN(TestDrills)
#include "test_drills.moc"
