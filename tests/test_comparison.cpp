#include "app/app.h"
#include "typing/comparison.h"

#include <QtTest>

namespace {

// A passage of distinct-looking CJK characters, so a shifted page never compares equal by luck.
QString sample(int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar(0x4E00 + (i * 7) % 2000));
    return text;
}

QString withWrong(const QString& text, int position)
{
    QString out = text;
    out[position] = QChar(u'错');
    return out;
}

// Runs must tile the page: in order, no gap, no overlap, nothing dropped.
void verifyTiling(const QVector<StateRun>& runs, int size)
{
    int next = 0;
    for (const StateRun& run : runs) {
        QCOMPARE(run.start, next);
        QVERIFY(run.length > 0);
        next += run.length;
    }
    QCOMPARE(next, size);
}

} // namespace

class TestComparison : public QObject
{
    Q_OBJECT

private slots:
    void layoutClamps_data();
    void layoutClamps();
    void missingPageSizeTurnsOnlyWhenTyped();
    void pagingAtPageSize_data();
    void pagingAtPageSize();
    void secondPageWithDefaults_data();
    void secondPageWithDefaults();
    void fullLookAheadTurnsTwice();
    void lastPageStaysWithoutNextPage();
    void runsCoverTheText_data();
    void runsCoverTheText();
    void wrongCharacterState();
    void blindModeHidesErrorsUntilEnd();
    void pageWrongCountIsCurrent();
    void typedAllAcrossTwoPages();
    void wrongCollection_data();
    void wrongCollection();
    void wrongScanOnlyWhenGrown();
    void slowCollection();
    void slowAfterPauseAndPractice();
    void surrogatePairsAreOneCharacter();
    void cleanPassage_data();
    void cleanPassage();
    void progress_data();
    void progress();
    void trimToLength_data();
    void trimToLength();
};

void TestComparison::layoutClamps_data()
{
    QTest::addColumn<int>("fanye");
    QTest::addColumn<int>("yulanq");
    QTest::addColumn<int>("yulanh");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("lookBack");
    QTest::addColumn<int>("lookAhead");
    QTest::addRow("defaults") << 500 << 10 << 10 << 500 << 10 << 10;
    QTest::addRow("missing page size") << 0 << 10 << 10 << 20 << 10 << 10;
    QTest::addRow("negative") << -7 << -1 << -3 << 20 << 0 << 0;
    QTest::addRow("too large") << 5000 << 50 << 11 << 600 << 10 << 10;
    QTest::addRow("bounds") << 20 << 0 << 10 << 20 << 0 << 10;
}

void TestComparison::layoutClamps()
{
    QFETCH(int, fanye);
    QFETCH(int, yulanq);
    QFETCH(int, yulanh);
    App::Fanye = fanye;
    App::Yulanq = yulanq;
    App::Yulanh = yulanh;
    const PageLayout layout = PageLayout::fromConfig();
    QTEST(layout.pageSize(), "pageSize");
    QTEST(layout.lookBack(), "lookBack");
    QTEST(layout.lookAhead(), "lookAhead");
    QVERIFY(layout.step() >= 10);
    QCOMPARE(App::Fanye, fanye); // the stored value stays
}

void TestComparison::missingPageSizeTurnsOnlyWhenTyped()
{
    PassageRun run(PageLayout(0, 10, 10));
    const QString passage = sample(50);
    run.load(passage);
    QCOMPARE(run.referencePage(), passage.left(30));
    for (int n = 0; n < 20; ++n) {
        const PageChange change = run.typedChanged(passage.left(n), FollowTyping);
        QVERIFY2(!change.turned, qPrintable(QString::number(n)));
        QCOMPARE(run.pageNumber(), 1);
    }
    const PageChange change = run.typedChanged(passage.left(20), FollowTyping);
    QVERIFY(change.turned);
    QCOMPARE(run.pageNumber(), 2);
    QCOMPARE(change.keptTyped, passage.mid(10, 10));
    QCOMPARE(run.typedCount(), 20);
}

void TestComparison::pagingAtPageSize_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("turned");
    QTest::addColumn<int>("pageAfter");
    QTest::addColumn<int>("shownAfter");
    QTest::addColumn<int>("lookAheadLength");
    QTest::addRow("500 is one page") << 500 << false << 1 << 500 << 0;
    QTest::addRow("501 turns") << 501 << true << 2 << 11 << 1;
}

void TestComparison::pagingAtPageSize()
{
    QFETCH(int, length);
    const QString passage = sample(length);
    PassageRun run;
    run.load(passage);
    QTEST(run.lookAheadRange().length, "lookAheadLength");
    const PageChange change = run.typedChanged(passage.left(500), FollowTyping);
    QTEST(change.turned, "turned");
    QTEST(run.pageNumber(), "pageAfter");
    QTEST(run.referencePage().size(), "shownAfter");
    QCOMPARE(run.typedCount(), 500);
    QCOMPARE(run.wrongCount(), 0);
}

void TestComparison::secondPageWithDefaults_data()
{
    QTest::addColumn<int>("typedOnPage");
    QTest::addRow("page typed up") << 500;
    QTest::addRow("into the look-ahead") << 505;
    QTest::addRow("whole look-ahead") << 510;
}

void TestComparison::secondPageWithDefaults()
{
    QFETCH(int, typedOnPage);
    const QString passage = sample(1200);
    PassageRun run;
    run.load(passage);
    QCOMPARE(run.referencePage().size(), 510);

    const QString typed = passage.left(typedOnPage);
    const PageChange change = run.typedChanged(typed, FollowTyping);
    QVERIFY(change.turned);
    QCOMPARE(run.pageNumber(), 2);
    QCOMPARE(run.layout().pageStart(2), 490);
    QCOMPARE(run.referencePage(), passage.mid(490, 510));
    QCOMPARE(run.referencePage(), run.layout().pageText(passage, 2));
    QCOMPARE(run.remainingText(), passage.mid(980));
    QCOMPARE(change.keptTyped, typed.mid(490));
    QCOMPARE(run.typedCount(), 490 + change.keptTyped.size());
    QCOMPARE(run.typedAll(), passage.left(490));

    // The typing pane then reports the kept text: nothing turns or moves again.
    const PageChange echo = run.typedChanged(change.keptTyped, FollowTyping);
    QVERIFY(!echo.turned);
    QCOMPARE(run.typedCount(), typedOnPage);
    QCOMPARE(run.typedAll(), passage.left(490));
}

void TestComparison::fullLookAheadTurnsTwice()
{
    PassageRun run(PageLayout(20, 10, 10));
    const QString passage = sample(100);
    run.load(passage);
    const PageChange change = run.typedChanged(passage.left(30), FollowTyping);
    QVERIFY(change.turned);
    QCOMPARE(run.pageNumber(), 3);
    QCOMPARE(change.keptTyped, passage.mid(20, 10));
    QCOMPARE(run.referencePage(), passage.mid(20, 30));
    QCOMPARE(run.typedCount(), 30);
    QCOMPARE(run.typedAll(), passage.left(20));
}

void TestComparison::lastPageStaysWithoutNextPage()
{
    // No look-back and a passage that ends exactly at the second page.
    PassageRun run(PageLayout(20, 0, 5));
    const QString passage = sample(40);
    run.load(passage);
    QVERIFY(run.typedChanged(passage.left(20), FollowTyping).turned);
    QCOMPARE(run.referencePage(), passage.mid(20));
    const PageChange last = run.typedChanged(passage.mid(20), FollowTyping);
    QVERIFY(!last.turned);
    QCOMPARE(run.pageNumber(), 2);
    QCOMPARE(run.typedCount(), 40);
    QVERIFY(run.comparison().lastCharRight());
}

void TestComparison::runsCoverTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("markup") << QStringLiteral("a<b&lt;c<b>粗</b>&amp;&nbsp;d");
    QTest::addRow("tabs") << QStringLiteral("甲\t乙\t\t丙\t");
    QTest::addRow("blank lines") << QStringLiteral("第一行\n\n\n第四行\r\n末");
    QTest::addRow("repeated blanks") << QStringLiteral("  a   b    c  ");
    QTest::addRow("mixed") << QStringLiteral("<p> 春眠 \t不觉晓 </p>\n<");
}

void TestComparison::runsCoverTheText()
{
    QFETCH(QString, text);
    const PageComparison all(text, text);
    const QVector<StateRun> runs = all.runs();
    verifyTiling(runs, text.size());
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().state, CharState::Right);
    QVERIFY(all.lastCharRight());

    // A wrong character in the middle and an untyped tail still tile the page exactly.
    const int wrongAt = text.size() / 2;
    const PageComparison partial(text, withWrong(text, wrongAt).left(text.size() - 2));
    const QVector<StateRun> partialRuns = partial.runs();
    verifyTiling(partialRuns, text.size());
    QString rebuilt;
    for (const StateRun& run : partialRuns)
        rebuilt += text.mid(run.start, run.length);
    QCOMPARE(rebuilt, text);
    QCOMPARE(partial.stateAt(wrongAt), CharState::Wrong);
    QCOMPARE(partialRuns.last().state, CharState::Untyped);
    QCOMPARE(partialRuns.last().length, 2);
    QCOMPARE(partial.wrongCount(), 1);
}

void TestComparison::wrongCharacterState()
{
    const PageComparison page(QStringLiteral("春眠不觉晓"), QStringLiteral("春眠布"));
    const QVector<StateRun> runs = page.runs();
    QCOMPARE(runs.size(), 3);
    QCOMPARE(runs.at(0).state, CharState::Right);
    QCOMPARE(runs.at(0).length, 2);
    QCOMPARE(runs.at(1).start, 2);
    QCOMPARE(runs.at(1).length, 1);
    QCOMPARE(runs.at(1).state, CharState::Wrong);
    QCOMPARE(runs.at(2).state, CharState::Untyped);
    QCOMPARE(page.wrongChars(), QStringLiteral("不")); // the reference character, not the typed one
    QVERIFY(!page.lastCharRight());
    // Typing past the page changes no state beyond it.
    QCOMPARE(PageComparison(QStringLiteral("甲乙"), QStringLiteral("甲乙丙")).runs().size(), 1);
    QVERIFY(PageComparison().runs().isEmpty());
    QVERIFY(!PageComparison().lastCharRight());
}

void TestComparison::blindModeHidesErrorsUntilEnd()
{
    const QString passage = QStringLiteral("天下大事");
    PassageRun run;
    run.load(passage);
    run.typedChanged(QStringLiteral("天下太"), BlindTyping);
    QVERIFY(!run.blindEnd());
    QCOMPARE(run.comparison().stateAt(2), CharState::Wrong);
    QCOMPARE(run.wrongCount(), 1); // counted all the same
    for (const StateRun& r : run.displayRuns())
        QVERIFY(r.state != CharState::Wrong);
    QCOMPARE(run.displayRuns().first().length, 3);

    run.typedChanged(QStringLiteral("天下太事"), BlindTyping);
    QVERIFY(run.blindEnd());
    QCOMPARE(run.displayRuns().size(), 3);
    QCOMPARE(run.displayRuns().at(1).state, CharState::Wrong);

    // Follow mode shows the error at once; a restart clears the blind end.
    run.restart();
    QVERIFY(!run.blindEnd());
    run.typedChanged(QStringLiteral("天下太"), FollowTyping);
    QCOMPARE(run.displayRuns().at(1).state, CharState::Wrong);
}

void TestComparison::pageWrongCountIsCurrent()
{
    // Page 20, look-back 5: errors of the first 15 characters count on page 1.
    PassageRun run(PageLayout(20, 5, 5));
    const QString passage = sample(40);
    run.load(passage);

    run.typedChanged(withWrong(passage.left(17), 2), FollowTyping);
    QCOMPARE(run.pageWrong(), 1);
    QCOMPARE(run.wrongCount(), 1);
    QCOMPARE(run.pageWrongChars(), passage.mid(2, 1));

    // Typed on in the look-back part and corrected: back to the current count at once.
    run.typedChanged(passage.left(18), FollowTyping);
    QCOMPARE(run.pageWrong(), 0);
    QCOMPARE(run.wrongCount(), 0);
    QVERIFY(run.pageWrongChars().isEmpty());

    // An error in the look-back part counts on the next page, once.
    run.typedChanged(withWrong(passage.left(17), 16), FollowTyping);
    QCOMPARE(run.pageWrong(), 0);
    const PageChange change = run.typedChanged(withWrong(withWrong(passage.left(20), 16), 2), FollowTyping);
    QVERIFY(change.turned);
    QCOMPARE(run.wrongBeforePage(), 1);
    QCOMPARE(run.pageWrong(), 1);
    QCOMPARE(run.pageWrongChars(), passage.mid(16, 1));
    QCOMPARE(run.wrongCount(), 2);
    // Correcting the look-back error on the new page lowers the run's count.
    QString kept = change.keptTyped;
    kept[1] = passage.at(16);
    run.typedChanged(kept, FollowTyping);
    QCOMPARE(run.wrongCount(), 1);
}

void TestComparison::typedAllAcrossTwoPages()
{
    PassageRun run(PageLayout(20, 5, 5));
    const QString passage = sample(35);
    run.load(passage);
    const QString page1 = withWrong(passage.left(20), 3);
    const PageChange change = run.typedChanged(page1, FollowTyping);
    QVERIFY(change.turned);
    QCOMPARE(run.referencePage(), passage.mid(15));

    // Page 2 typed up turns once more, to the last look-back: the error at 30 is in that part, so
    // it counts on page 3.
    const QString page2 = withWrong(change.keptTyped + passage.mid(20), 15);
    const PageChange last = run.typedChanged(page2, FollowTyping);
    QVERIFY(last.turned);
    QCOMPARE(run.pageNumber(), 3);
    QCOMPARE(run.referencePage(), passage.mid(30));
    QCOMPARE(run.typedCount(), 35);
    QCOMPARE(run.wrongBeforePage(), 1);
    QCOMPARE(run.wrongCount(), 2);
    QVERIFY(run.comparison().lastCharRight());

    run.appendTypedSlice(last.keptTyped, true);
    QCOMPARE(run.typedAll().size(), passage.size());
    // Appending again (a second end step) never grows it past the passage.
    run.appendTypedSlice(last.keptTyped, true);
    QCOMPARE(run.typedAll().size(), passage.size());

    const CompareRow row = run.fillCompareRow();
    QCOMPARE(row.wrongCount, 2);
    QCOMPARE(row.wrongRefChars, QString(passage.at(3)) + passage.at(30));
    QCOMPARE(row.wrongTypedChars, QStringLiteral("错错"));
    QCOMPARE(run.wrongCount(), 2);
}

void TestComparison::wrongCollection_data()
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
    QTest::addRow("pair outside the BMP") << "" << "a\U00020000b" << "a\U00020001b" << "" << "\U00020000";
    // clang-format on
}

void TestComparison::wrongCollection()
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

void TestComparison::wrongScanOnlyWhenGrown()
{
    CharCollector collector([] { return qint64(0); });
    const QString ref = QStringLiteral("甲乙丙");
    QString collection;
    collector.scanWrong(collection, PageComparison(ref, QStringLiteral("甲X")), QString());
    QCOMPARE(collection, QStringLiteral("乙"));
    collection.clear();
    collector.scanWrong(collection, PageComparison(ref, QStringLiteral("甲X")), QString());
    QVERIFY(collection.isEmpty());
    collector.scanWrong(collection, PageComparison(ref, QStringLiteral("甲")), QString());
    QCOMPARE(collector.wrongScanLength(), 1);
    collector.scanWrong(collection, PageComparison(ref, QStringLiteral("甲X")), QString());
    QCOMPARE(collection, QStringLiteral("乙"));
    collector.scanWrong(collection, PageComparison(ref, QString()), QString());
    QCOMPARE(collector.wrongScanLength(), 2); // an empty pane is not scanned
}

void TestComparison::slowCollection()
{
    qint64 now = 0;
    CharCollector collector([&now] { return now; });
    const QString ref = QStringLiteral("甲乙丙丁戊己");
    const QString one = QStringLiteral("x");
    QString slow;

    collector.scanSlow(slow, PageComparison(ref, ref.left(1)), one, 60, QString());
    QVERIFY(slow.isEmpty()); // the first growth has nothing to be timed from
    now += 100;              // 600 characters a minute
    collector.scanSlow(slow, PageComparison(ref, ref.left(2)), one, 60, QString());
    QVERIFY(slow.isEmpty());
    now += 5000; // 12 a minute
    collector.scanSlow(slow, PageComparison(ref, ref.left(3)), one, 60, QString());
    QCOMPARE(slow, QStringLiteral("丙"));
    collector.scanSlow(slow, PageComparison(ref, ref.left(4)), one, 60, QString());
    QCOMPARE(slow, QStringLiteral("丙")); // same millisecond: no time passed, never slow

    // A two-character commit, 40 a minute: both characters, separately.
    now += 3000;
    collector.scanSlow(slow, PageComparison(ref, ref.left(6)), QStringLiteral("戊己"), 60, QString());
    QCOMPARE(slow, QStringLiteral("丙戊己"));
    // Deleting is not growth.
    now += 60000;
    collector.scanSlow(slow, PageComparison(ref, ref.left(5)), one, 60, QString());
    QCOMPARE(slow, QStringLiteral("丙戊己"));
    QCOMPARE(collector.slowScanLength(), 5);
}

void TestComparison::slowAfterPauseAndPractice()
{
    qint64 now = 1000;
    CharCollector collector([&now] { return now; });
    const QString ref = QStringLiteral("乙丙丁");
    QString slow = QStringLiteral("乙");
    const QString title = QStringLiteral("慢字收集");

    // A previous run left its last growth and scan length behind.
    collector.scanSlow(slow, PageComparison(sample(10), sample(10)), QStringLiteral("x"), 60, QString());
    // The new run's first character only sets the scan length; the next one, after a long pause,
    // is slow.
    now += 90000;
    collector.scanSlow(slow, PageComparison(ref, ref.left(1)), QStringLiteral("x"), 60, title);
    QCOMPARE(collector.slowScanLength(), 1);
    QCOMPARE(slow, QStringLiteral("乙"));
    collector.scanSlow(slow, PageComparison(ref, ref.left(2)), QStringLiteral("x"), 60, title);
    QCOMPARE(slow, QStringLiteral("乙丙"));
    // Practising the collection: a fast character leaves it.
    now += 200;
    collector.scanSlow(slow, PageComparison(QStringLiteral("丙乙"), QStringLiteral("丙乙")), QStringLiteral("x"), 60,
                       title);
    collector.scanSlow(slow, PageComparison(QStringLiteral("丙乙丙"), QStringLiteral("丙乙丙")), QStringLiteral("x"),
                       60, title);
    QCOMPARE(slow, QStringLiteral("乙"));
}

void TestComparison::surrogatePairsAreOneCharacter()
{
    const QString ref = QStringLiteral("a\U00020000b");
    const PageComparison page(ref, QStringLiteral("a\U00020001b"));
    QCOMPARE(page.stateAt(1), CharState::Wrong);
    QCOMPARE(page.stateAt(2), CharState::Wrong);
    QCOMPARE(page.runs().size(), 3);
    QCOMPARE(page.runs().at(1).length, 2);
    QCOMPARE(page.wrongCount(), 1);
    QCOMPARE(page.wrongChars(), QStringLiteral("\U00020000"));

    // Half a pair typed is wrong for the whole character, and nothing after it is typed.
    const PageComparison half(ref, ref.left(2));
    QCOMPARE(half.stateAt(2), CharState::Wrong);
    QCOMPARE(half.stateAt(3), CharState::Untyped);

    const CompareRow row = compareWhole(ref, QStringLiteral("a\U00020001b"));
    QCOMPARE(row.wrongCount, 1);
    QCOMPARE(row.wrongTypedChars, QStringLiteral("\U00020001"));
    // A lone half in the typed text never reaches the result line.
    const CompareRow broken = compareWhole(QStringLiteral("ab"), QString(QChar(0xD840)) + QChar(0xD840));
    QCOMPARE(broken.wrongTypedChars, QString(2, QChar(QChar::ReplacementCharacter)));

    QCOMPARE(CharCollector::dedupe(QStringLiteral("\U00020000a\U00020000\U00020001")),
             QStringLiteral("\U00020000a\U00020001"));

    // The slow collection takes the whole pair under a one-character commit.
    qint64 now = 0;
    CharCollector collector([&now] { return now; });
    QString slow;
    collector.scanSlow(slow, PageComparison(ref, ref.left(1)), QStringLiteral("a"), 60, QString());
    now += 10000;
    collector.scanSlow(slow, PageComparison(ref, ref.left(3)), QStringLiteral("\U00020000"), 60, QString());
    QCOMPARE(slow, QStringLiteral("\U00020000"));
}

void TestComparison::cleanPassage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("quchu");
    QTest::addColumn<bool>("tihuan");
    QTest::addColumn<QString>("expected");
    QTest::addRow("every blank") << "  甲 乙\t丙\n\n丁\r\n戊\u3000己  " << true << false << "甲乙丙丁戊己";
    QTest::addRow("untouched") << " a\tb " << false << false << " a\tb ";
    QTest::addRow("punctuation") << "3.14, Hello." << false << true << "3。14， Hello.";
    QTest::addRow("both") << " 1 , 0 \n" << true << true << "1，0";
}

void TestComparison::cleanPassage()
{
    QFETCH(QString, text);
    QFETCH(bool, quchu);
    QFETCH(bool, tihuan);
    QTEST(::cleanPassage(text, quchu, tihuan), "expected");
    App::Quchu = quchu;
    App::Tihuan = tihuan;
    QTEST(::cleanPassage(text), "expected");
}

void TestComparison::progress_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bar");
    QTest::addRow("empty passage") << 0 << 0 << "进度: 0.00%" << 0;
    QTest::addRow("a third") << 1 << 3 << "进度: 33.33%" << 33;
    QTest::addRow("two thirds") << 2 << 3 << "进度: 66.67%" << 66;
    QTest::addRow("done") << 500 << 500 << "进度: 100.00%" << 100;
}

void TestComparison::progress()
{
    QFETCH(int, typed);
    QFETCH(int, length);
    const ProgressInfo info = progressInfo(typed, length);
    QTEST(info.progressText, "text");
    QTEST(info.barValue, "bar");
    QCOMPARE(info.countText, QStringLiteral("总字数: ") + QString::number(length));
}

void TestComparison::trimToLength_data()
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
    QTest::addRow("pair kept whole") << "ab\U00020000" << 4 << 3 << "ab" << 2;
}

void TestComparison::trimToLength()
{
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(int, max);
    const TrimResult result = ::trimToLength(text, cursor, max);
    QTEST(result.text, "expected");
    QTEST(result.cursor, "expectedCursor");
    QCOMPARE(result.changed, text.size() > max);
}

QTEST_GUILESS_MAIN(TestComparison)
#include "test_comparison.moc"
