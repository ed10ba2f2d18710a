#include "app/core/app.h"
#include "typing/core/drills.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

#include <algorithm>

Q_DECLARE_METATYPE(BuiltinDrill)

namespace {

const QString SupplementaryA = QStringLiteral("\U00020000");
const QString SupplementaryB = QStringLiteral("\U0002A6D6");

} // namespace

class TestDrills : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { App::initResources(); }

    void frequencyList()
    {
        const QString list = frequentCharacters();
        QCOMPARE(list.size(), FrequentCharCount);
        QVERIFY(list.startsWith(QStringLiteral("的一是了不")));
        QCOMPARE(QSet<QChar>(list.cbegin(), list.cend()).size(), FrequentCharCount);
        // Ideographs of GB2312: no punctuation, no full-width letters, no traditional forms.
        for (const QChar c : list)
            QVERIFY2(c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF && App::isGbChar(QString(c)),
                     qPrintable(QString(c)));
    }

    void drills_data()
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

    void drills()
    {
        QFETCH(BuiltinDrill, drill);
        QFETCH(QString, title);
        QFETCH(int, length);
        QFETCH(int, firstRank);
        QCOMPARE(builtinDrillTitle(drill), title);
        QCOMPARE(builtinDrillText(drill), frequentCharacters().mid(firstRank - 1, length));
        // Only the whole drill under its own title counts as the drill.
        QVERIFY(isWholeBuiltinDrill(title, length));
        QVERIFY(!isWholeBuiltinDrill(title, length - 1));
        QVERIFY(!isWholeBuiltinDrill(title, 2000 - length));
        QVERIFY(!isWholeBuiltinDrill(title + ' ', length));
        QVERIFY(!isWholeBuiltinDrill(ClipboardTitle, 0));
    }

    // The blank rule is the loading clean-up's, tested with it; the command keeps every other character.
    void removeSpaces()
    {
        const QString text =
            SupplementaryA + " \n第 二\t行\r\n" + SupplementaryB + QString::fromUtf16(u"花\u00A0落，Hi, 3!");
        QCOMPARE(::removeSpaces(text), SupplementaryA + "第二行" + SupplementaryB + "花落，Hi,3!");
        QCOMPARE(::removeSpaces(QStringLiteral(" \t\r\n ")), QString());
    }

    void shuffleKeepsCharacters()
    {
        // Repeated characters, blanks, pairs at both ends and side by side.
        const QString text = SupplementaryA + "的的一 ，乙" + SupplementaryB + SupplementaryA + SupplementaryB;
        QVector<uint> expected = text.toUcs4();
        std::sort(expected.begin(), expected.end());
        // Several seeds: a pair split by one order but not another must still be caught (it turns into
        // replacement characters).
        for (quint32 seed = 1; seed <= 50; ++seed) {
            QVector<uint> actual = shuffleCharacters(text, seed).toUcs4();
            std::sort(actual.begin(), actual.end());
            QCOMPARE(actual, expected);
        }
    }

    void shuffleIsRepeatableBySeed()
    {
        // Shuffles started within one second of the clock give one order; the next second another.
        const QDateTime start(QDate(2024, 5, 1), QTime(20, 15, 30, 10));
        QCOMPARE(shuffleSeed(start.addMSecs(980)), shuffleSeed(start));
        QCOMPARE(shuffleSeed(start.addMSecs(990)), shuffleSeed(start) + 1);
        const QString text = builtinDrillText(BuiltinDrill::Front500);
        QCOMPARE(shuffleCharacters(text, 7), shuffleCharacters(text, 7));
        QVERIFY(shuffleCharacters(text, 7) != shuffleCharacters(text, 8));
        // The generator form draws from the caller's generator.
        QRandomGenerator a(42), b(42);
        QCOMPARE(shuffleCharacters(text, a), shuffleCharacters(text, b));
    }

    void shuffleOrdersAreEquallyLikely()
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

    void fileTitle()
    {
        QCOMPARE(titleFromFileName(QStringLiteral("/home/user/文章/春晓.txt")), QStringLiteral("春晓"));
        QCOMPARE(titleFromFileName(QStringLiteral("/home/user/my.texts/段落")), QStringLiteral("段落"));
        QCOMPARE(titleFromFileName(QStringLiteral("a.b.txty")), QStringLiteral("a.b"));
        QCOMPARE(titleFromFileName(QStringLiteral("/home/user/.txt")), QStringLiteral(".txt")); // never empty
        QCOMPARE(titleFromFileName(QStringLiteral("/home/user/名字.")), QStringLiteral("名字"));
    }
};

QTEST_GUILESS_MAIN(TestDrills)
#include "test_drills.moc"
