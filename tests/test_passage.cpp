// A passage from its sources (drills, text commands) through the clean-up, paging, comparison and collections.
#include "app/core/app.h"
#include "app/core/textchars.h"
#include "typing/core/comparison.h"
#include "typing/core/drills.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

#include <algorithm>

Q_DECLARE_METATYPE(BuiltinDrill)

namespace {

// A passage of distinct-looking CJK characters, so a shifted page never compares equal by luck.
QString sample(int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar(0x4E00 + (i * 7) % 2000));
    return text;
}

QString withWrong(QString text, int position)
{
    text[position] = QChar(u'错');
    return text;
}

// The runs of a page as "R3 W1 U2" (right, wrong, untyped and their lengths), checking they tile it.
QString runsText(const QVector<StateRun>& runs, int pageSize)
{
    QStringList out;
    int next = 0;
    for (const StateRun& run : runs) {
        if (run.start != next || run.length <= 0)
            return QStringLiteral("gap or overlap at %1").arg(next);
        next += run.length;
        out << QStringLiteral("URW").at(int(run.state)) + QString::number(run.length);
    }
    return next == pageSize ? out.join(' ') : QStringLiteral("runs end at %1").arg(next);
}

const QString Wide = QStringLiteral("\U00020000");
const QString WideOther = QStringLiteral("\U00020001"); // same high surrogate

} // namespace

class TestPassage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { App::initResources(); }

    void layoutClampsSettings()
    {
        const PageLayout low(-7, -1, 11);
        QCOMPARE((QVector<int>{low.pageSize(), low.lookBack(), low.lookAhead()}), (QVector<int>{20, 0, 10}));
        const PageLayout high(5000, 50, 11);
        QCOMPARE((QVector<int>{high.pageSize(), high.lookBack(), high.step()}), (QVector<int>{600, 10, 590}));
    }

    void paging_data()
    {
        QTest::addColumn<QVector<int>>("layout"); // page size, look-back, look-ahead
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("pageStart");
        const QVector<int> defaults{500, 10, 10};
        // clang-format off
        QTest::addRow("one page exactly") << defaults << 500 << 500 << 1 << 0;
        QTest::addRow("one past a page") << defaults << 501 << 500 << 2 << 490;
        QTest::addRow("page typed up") << defaults << 1200 << 500 << 2 << 490;
        QTest::addRow("whole look-ahead") << defaults << 1200 << 510 << 2 << 490;
        QTest::addRow("missing page size, typed up") << QVector<int>{0, 10, 10} << 50 << 20 << 2 << 10;
        QTest::addRow("look-ahead typed up turns twice") << QVector<int>{20, 10, 10} << 100 << 30 << 3 << 20;
        QTest::addRow("last page has no next") << QVector<int>{20, 0, 5} << 40 << 40 << 2 << 20;
        // clang-format on
    }

    void paging()
    {
        QFETCH(QVector<int>, layout);
        QFETCH(int, length);
        QFETCH(int, typed);
        QFETCH(int, page);
        QFETCH(int, pageStart);
        const QString passage = sample(length);
        PassageRun run(PageLayout(layout[0], layout[1], layout[2]));
        run.load(passage);
        const PageChange change = run.typedChanged(passage.left(typed), FollowTyping);
        QCOMPARE(change.turned, page > 1);
        QCOMPARE(run.pageNumber(), page);
        QCOMPARE(run.referencePage(), passage.mid(pageStart, run.layout().shownLength()));
        QCOMPARE(run.typedCount(), typed);
        QCOMPARE(run.typedAll(), passage.left(pageStart));
        if (!change.turned)
            return;
        QCOMPARE(change.keptTyped, passage.mid(pageStart, typed - pageStart));
        QCOMPARE(run.remainingText(), passage.mid(pageStart + run.layout().step()));
        // The typing pane then reports the kept text: nothing turns or moves again.
        QVERIFY(!run.typedChanged(change.keptTyped, FollowTyping).turned);
        QCOMPARE(run.pageNumber(), page);
        QCOMPARE(run.typedCount(), typed);
        QCOMPARE(run.typedAll(), passage.left(pageStart));
    }

    void pageStates_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("runs");
        QTest::addColumn<QString>("wrongChars");
        QTest::addColumn<bool>("lastRight");
        const QString marked = QStringLiteral("<p>a&lt;b 春眠\t\t不觉晓</p>\n\n  第四行\r\n末");
        const QString wrongAt15 = withWrong(marked, 15);
        // clang-format off
        QTest::addRow("markup and blanks all right") << marked << marked << "R31" << "" << true;
        QTest::addRow("wrong, untyped tail") << marked << wrongAt15.left(29) << "R15 W1 R13 U2" << "觉" << false;
        QTest::addRow("wrong counts the reference") << "春眠不觉晓" << "春眠布" << "R2 W1 U2" << "不" << false;
        QTest::addRow("typed past the page") << "甲乙" << "甲乙丙" << "R2" << "" << true;
        QTest::addRow("empty page") << "" << "" << "" << "" << false;
        QTest::addRow("pair outside the BMP")
            << "a" + Wide + "b" << "a" + WideOther + "b" << "R1 W2 R1" << Wide << true;
        QTest::addRow("half a pair typed") << "a" + Wide + "b" << "a" + Wide.left(1) << "R1 W2 U1" << Wide << false;
        // clang-format on
    }

    void pageStates()
    {
        QFETCH(QString, reference);
        QFETCH(QString, typed);
        QFETCH(QString, wrongChars);
        const PageComparison page(reference, typed);
        QTEST(runsText(page.runs(), reference.size()), "runs");
        QCOMPARE(page.wrongChars(), wrongChars);
        QCOMPARE(page.wrongCount(), wrongChars.toUcs4().size());
        QTEST(page.lastCharRight(), "lastRight");
    }

    void blindModeHidesErrorsUntilEnd()
    {
        PassageRun run;
        run.load(QStringLiteral("天下大事"));
        run.typedChanged(QStringLiteral("天下太"), BlindTyping);
        QCOMPARE(run.wrongCount(), 1); // counted all the same
        QCOMPARE(runsText(run.displayRuns(), 4), QStringLiteral("R3 U1"));
        run.typedChanged(QStringLiteral("天下太事"), BlindTyping);
        QVERIFY(run.blindEnd());
        QCOMPARE(runsText(run.displayRuns(), 4), QStringLiteral("R2 W1 R1"));
        // Follow mode shows the error at once; a restart clears the blind end.
        run.restart();
        QVERIFY(!run.blindEnd());
        run.typedChanged(QStringLiteral("天下太"), FollowTyping);
        QCOMPARE(runsText(run.displayRuns(), 4), QStringLiteral("R2 W1 U1"));
    }

    void wrongCountsAcrossPages()
    {
        // Page 20, look-back 5: errors of the first 15 characters count on page 1.
        PassageRun run(PageLayout(20, 5, 5));
        const QString passage = sample(35);
        run.load(passage);
        run.typedChanged(withWrong(passage.left(17), 2), FollowTyping);
        QCOMPARE(run.pageWrong(), 1);
        QCOMPARE(run.pageWrongChars(), passage.mid(2, 1));
        run.typedChanged(passage.left(18), FollowTyping); // corrected: the current count at once
        QCOMPARE(run.wrongCount(), 0);
        // An error in the look-back part counts on the next page, once.
        run.typedChanged(withWrong(passage.left(17), 16), FollowTyping);
        QCOMPARE(run.pageWrong(), 0);
        PageChange change = run.typedChanged(withWrong(withWrong(passage.left(20), 16), 2), FollowTyping);
        QCOMPARE(run.wrongBeforePage(), 1);
        QCOMPARE(run.pageWrongChars(), passage.mid(16, 1));
        QCOMPARE(run.wrongCount(), 2);
        // Correcting the look-back error on the new page lowers the run's count.
        change.keptTyped[1] = passage.at(16);
        run.typedChanged(change.keptTyped, FollowTyping);
        QCOMPARE(run.wrongCount(), 1);

        // Page 2 typed up turns to the last look-back, where the error at 30 counts.
        const PageChange last = run.typedChanged(withWrong(change.keptTyped + passage.mid(20), 15), FollowTyping);
        QCOMPARE(run.pageNumber(), 3);
        QCOMPARE(run.wrongCount(), 2);
        QVERIFY(run.comparison().lastCharRight());
        // Appending twice (a second end step) never grows typedAll past the passage.
        run.appendTypedSlice(last.keptTyped, true);
        run.appendTypedSlice(last.keptTyped, true);
        QCOMPARE(run.typedAll().size(), passage.size());
        const CompareRow row = run.fillCompareRow();
        QCOMPARE(QStringList({QString::number(row.wrongCount), row.wrongRefChars, row.wrongTypedChars}),
                 QStringList({"2", QString(passage.at(2)) + passage.at(30), "错错"}));

        // Characters outside the BMP count once; a lone half never reaches the result line.
        QCOMPARE(compareWhole("a" + Wide + "b", "a" + WideOther + "b").wrongTypedChars, WideOther);
        QCOMPARE(compareWhole(QStringLiteral("ab"), QString(2, QChar(0xD840))).wrongTypedChars,
                 QString(2, QChar(QChar::ReplacementCharacter)));
    }

    void wrongCollection_data()
    {
        QTest::addColumn<QString>("collection");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        const QString practice = QStringLiteral("错字收集");
        // clang-format off
        QTest::addRow("wrong joins behind") << "乙戊" << "甲乙丙丁" << "甲X丙Y" << "" << "乙戊丁";
        QTest::addRow("right stays outside practice") << "甲" << "甲乙" << "甲乙" << "" << "甲";
        QTest::addRow("practice removes right") << "甲乙丙" << "甲乙丙" << "甲乙X" << practice << "丙";
        QTest::addRow("practice: later wrong adds again") << "" << "甲乙甲" << "甲乙X" << practice << "甲";
        QTest::addRow("practice: later right removes") << "乙" << "甲乙甲" << "X乙甲" << practice << "";
        QTest::addRow("de-duplicated") << "甲甲乙甲" << "丙" << "丙" << "" << "甲乙";
        QTest::addRow("pairs outside the BMP")
            << Wide + "a" + Wide << "a" + WideOther << "a" + Wide << "" << Wide + "a" + WideOther;
        // clang-format on
    }

    void wrongCollection()
    {
        QFETCH(QString, collection);
        QFETCH(QString, reference);
        QFETCH(QString, typed);
        QFETCH(QString, title);
        CharCollector collector([] { return qint64(0); });
        collector.scanWrong(collection, PageComparison(reference, typed), title);
        QTEST(collection, "expected");
        QCOMPARE(collector.wrongScanLength(), typed.size());
    }

    void wrongScanOnlyWhenGrown()
    {
        CharCollector collector([] { return qint64(0); });
        const QString ref = QStringLiteral("甲乙丙");
        QString collection;
        collector.scanWrong(collection, PageComparison(ref, QStringLiteral("甲X")), QString());
        collection.clear();
        collector.scanWrong(collection, PageComparison(ref, QStringLiteral("甲X")), QString());
        QVERIFY(collection.isEmpty());
        collector.scanWrong(collection, PageComparison(ref, QStringLiteral("甲")), QString());
        collector.scanWrong(collection, PageComparison(ref, QStringLiteral("甲X")), QString());
        QCOMPARE(collection, QStringLiteral("乙"));
        collector.scanWrong(collection, PageComparison(ref, QString()), QString());
        QCOMPARE(collector.wrongScanLength(), 2); // an empty pane is not scanned
    }

    void slowCollection()
    {
        qint64 now = 0;
        CharCollector collector([&now] { return now; });
        QString slow;
        const auto scan = [&](int passed, const QString& ref, int typed, const QString& commit, const QString& title) {
            now += passed;
            collector.scanSlow(slow, PageComparison(ref, ref.left(typed)), commit, 60, title);
            return slow;
        };
        const QString ref = QStringLiteral("甲乙丙丁戊己");
        QCOMPARE(scan(0, ref, 1, "x", ""), QString());               // the first growth has nothing to be timed from
        QCOMPARE(scan(100, ref, 2, "x", ""), QString());             // 600 a minute
        QCOMPARE(scan(5000, ref, 3, "x", ""), QStringLiteral("丙")); // 12 a minute
        QCOMPARE(scan(0, ref, 4, "x", ""), QStringLiteral("丙"));    // no time passed: never slow
        QCOMPARE(scan(3000, ref, 6, "戊己", ""), QStringLiteral("丙戊己")); // a commit of two, 40 a minute
        QCOMPARE(scan(60000, ref, 5, "x", ""), QStringLiteral("丙戊己"));   // deleting is not growth
        QCOMPARE(collector.slowScanLength(), 5);
        // A character outside the BMP joins as its whole pair.
        slow.clear();
        scan(0, "a" + Wide + "b", 1, "x", "");
        QCOMPARE(scan(10000, "a" + Wide + "b", 3, Wide, ""), Wide);

        // A new run's first character only sets the scan length; the next, after a long pause, is slow.
        const QString title = QStringLiteral("慢字收集");
        slow = QStringLiteral("乙");
        QCOMPARE(scan(90000, QStringLiteral("乙丙丁"), 1, "x", title), QStringLiteral("乙"));
        QCOMPARE(collector.slowScanLength(), 1);
        QCOMPARE(scan(0, QStringLiteral("乙丙丁"), 2, "x", title), QStringLiteral("乙丙"));
        // Practising the collection: a fast character leaves it.
        QCOMPARE(scan(200, QStringLiteral("丙乙丙"), 3, "x", title), QStringLiteral("乙"));
        // 60 a minute is at the limit: slow.
        QCOMPARE(scan(1000, QStringLiteral("丙乙丙丁"), 4, "x", title), QStringLiteral("乙丁"));
    }

    void cleanPassage()
    {
        const QString text = QStringLiteral(" 3.14, 甲\t乙\n\n丙\r\n戊\u3000己 \u00A0Hello. ") + Wide;
        QCOMPARE(::cleanPassage(text, false, false), text);
        QCOMPARE(::cleanPassage(text, true, false), "3.14,甲乙丙戊己Hello." + Wide);
        QCOMPARE(::cleanPassage(text, true, true), "3。14，甲乙丙戊己Hello." + Wide);
        // The text command removes the same blanks and keeps the punctuation.
        QCOMPARE(::removeSpaces(text), "3.14,甲乙丙戊己Hello." + Wide);
    }

    void convertPunct_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("other marks after letters") << "Go!a;b? c: d" << "Go！a；b？ c： d";
        QTest::addRow("parentheses") << "(a)（b）" << "（a）（b）";
        QTest::addRow("double quotes") << "\"引号\"" << "“引号“";
        QTest::addRow("chinese sentence") << "你好,世界." << "你好，世界。";
        QTest::addRow("letters at both ends of both alphabets") << "中a,中z.中A'中Z，a。Z‘" << "中a,中z.中A'中Z,a.Z'";
        QTest::addRow("full-width apostrophe after letter") << "don＇t" << "don't";
        QTest::addRow("full-width digits") << "１２３" << "123";
        QTest::addRow("full-width symbols") << "｀－＝［］／～＠＃＄％＾＆＊＿＋｛｝｜＜＞＼" << "`-=[]/~@#$%^&*_+{}|<>\\";
        QTest::addRow("full-width letters are not latin") << "ＡＢｃ，" << "ＡＢｃ，";
        QTest::addRow("accented letter is not latin") << "café," << "café，";
        QTest::addRow("mark after a mark") << "a,," << "a,，";
        QTest::addRow("other full-width forms untouched") << "：；？！、《》\n" << "：；？！、《》\n";
        // clang-format on
    }

    void convertPunct()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        App::convertPunct(input);
        QCOMPARE(input, expected);
        App::convertPunct(input); // a second pass changes nothing
        QCOMPARE(input, expected);
    }

    void progressTexts()
    {
        QCOMPARE(progressInfo(0, 0).progressText, QStringLiteral("进度: 0.00%")); // empty passage
        const ProgressInfo info = progressInfo(2, 3); // the bar cuts the fraction off
        QCOMPARE(QStringList({info.progressText, QString::number(info.barValue), info.countText}),
                 QStringList({"进度: 66.67%", "66", "总字数: 3"}));
        QCOMPARE(progressInfo(3, 3).barValue, 100); // the end fills the bar
    }

    void trimToLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("max");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("expectedCursor");
        QTest::addRow("at the end") << "abcdef" << 6 << 4 << "abcd" << 4;
        QTest::addRow("in the middle") << "abXYcd" << 4 << 4 << "abcd" << 2;
        QTest::addRow("fits") << "abc" << 1 << 4 << "abc" << 1;
        QTest::addRow("cursor at the start") << "XYab" << 0 << 2 << "ab" << 0;
        QTest::addRow("pair kept whole") << "ab" + Wide << 4 << 3 << "ab" << 2;
    }

    void trimToLength()
    {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(int, max);
        const TrimResult result = ::trimToLength(text, cursor, max);
        QTEST(result.text, "expected");
        QTEST(result.cursor, "expectedCursor");
        QCOMPARE(result.changed, text.size() > max);
    }

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
        QCOMPARE(wholeTextOf(title, length, 0), WholeText::BuiltinDrill);
        QCOMPARE(wholeTextOf(title, length - 1, 0), WholeText::No);
        QCOMPARE(wholeTextOf(title, 2000 - length, 0), WholeText::No);
        QCOMPARE(wholeTextOf(title + ' ', length, 0), WholeText::No);
        QCOMPARE(wholeTextOf(title.chopped(1), length, 0), WholeText::No); // a title one character short
    }

    // A sent text counts whole only where the passage is all of it.
    void wholeSentText()
    {
        const QString title = QStringLiteral("第十二章 春晓");
        QCOMPARE(wholeTextOf(title, 120, 120), WholeText::SentText);
        QCOMPARE(wholeTextOf(title, 120, 9000), WholeText::No); // a segment of a longer text
        QCOMPARE(wholeTextOf(title, 120, 0), WholeText::No);
    }

    // A pair is one step; a lone half, at either end or inside, is a character of its own.
    void charSteps()
    {
        const QString text = Wide + QChar(0xDC00) + QStringLiteral("a") + QChar(0xD800);
        QCOMPARE(TextChars::width(text, 0), 2);
        QCOMPARE(TextChars::width(text, 2), 1);
        QCOMPARE(TextChars::width(text, 4), 1);
        QCOMPARE(TextChars::start(text, 1), 0);
        QCOMPARE(TextChars::start(text, 2), 2);
        QCOMPARE(TextChars::codePoint(text, 0), 0x20000u);
        QCOMPARE(TextChars::withoutLoneHalves(text), Wide + QStringLiteral("\uFFFDa\uFFFD"));
    }

    void shuffleKeepsCharacters()
    {
        // Repeated characters, blanks, pairs at both ends and side by side.
        const QString text = Wide + "的的一 ，乙" + WideOther + Wide + WideOther;
        QVector<uint> expected = text.toUcs4();
        std::sort(expected.begin(), expected.end());
        // Several seeds: a pair split by one order but not another must still be caught.
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
        // Six orders: swapping each place with any place would favour some by a quarter, a fair shuffle
        // keeps every count close to a sixth. The seed is fixed, so this cannot fail by chance.
        const QString text = QStringLiteral("甲乙") + Wide;
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

QTEST_GUILESS_MAIN(TestPassage)
#include "test_passage.moc"
