#include <QtTest>

#include "typing/resultline.h"
#include "typing/results.h"

namespace {

const QString Title = QStringLiteral("Tavrel跟打器v1.36 ");

// 100 counted characters (102 typed, the first commit of 2 does not count) in 30 seconds,
// 250 keys of which 10 corrections, 120 left-hand and 130 right-hand keys.
RunInputs workedRun()
{
    RunInputs in;
    in.ticks = 3000;
    in.typedCount = 102;
    in.uncountedLength = 2;
    in.wordChars = 40;
    in.wrongCount = 0;
    in.retypeCount = 2;
    in.keys.keyCount = 250;
    in.keys.correctCount = 10;
    in.keys.backCount = 14;
    in.keys.enterCount = 1;
    in.keys.selectCount = 20;
    in.keys.leftKeys = 120;
    in.keys.rightKeys = 130;
    return in;
}

RunResult runResult(const ResultFigures& f)
{
    RunResult r;
    r.segmentHeader = QStringLiteral("第1段");
    r.cells = f.cells;
    r.peakSpeed = 216.6666666;
    r.peakKeyRate = 9.25;
    r.peakCodeLength = 2.0;
    return r;
}

LineSettings settings(bool im, bool signature, int pattern = 0)
{
    LineSettings s;
    s.shuRuFa2 = im;
    s.shuRuFa = QStringLiteral("五笔86版输入法");
    s.qianMing2 = signature;
    s.qianMing = QStringLiteral("慢慢来比较快");
    s.pattern = pattern;
    s.appTitle = Title;
    return s;
}

// A follow run with n wrong characters and the penalty speed in cell 0, as the end of a run has it.
RunResult runWithErrors(const QString& ref, const QString& typed)
{
    RunInputs in = workedRun();
    in.wrongCount = ref.length();
    const ResultFigures f = computeResultFigures(in);
    RunResult r = runResult(f);
    r.cells[ColSpeed] = penaltySpeedCell(f, in.wrongCount);
    r.wrongCount = in.wrongCount;
    r.wrongRefChars = ref;
    r.wrongTypedChars = typed;
    return r;
}

} // namespace

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void workedRunFigures()
    {
        const RunInputs in = workedRun();
        const ResultFigures f = computeResultFigures(in);

        const double minutes = 3000 / 6000.0;
        const int counted = 102 - 2;
        QCOMPARE(f.runMinutes, minutes);
        QCOMPARE(f.runSeconds, 30.0);
        QCOMPARE(f.countedChars, counted);
        QCOMPARE(f.speed, counted / minutes); // 200
        QCOMPARE(f.keyRate, 250 / 30.0);      // 8.333...
        QCOMPARE(f.codeLength, 250.0 / counted);

        const QStringList expected = {"200.00", "8.33", "2.50",   "102",    "00:30.00", "10",     "4", "1",
                                      "250",    "20",   "96.00%", "92.31%", "2",        "40.00%", "0"};
        QCOMPARE(f.cells, expected);

        // One wrong character costs five: (100 - 5) / 0.5.
        QCOMPARE(penaltySpeed(f, 1), (counted - 5) / minutes);
        QCOMPARE(penaltySpeedCell(f, 1), QStringLiteral("190.00/200.00"));
        QVERIFY(needsWideSpeedColumn(penaltySpeedCell(f, 1)));
        QCOMPARE(penaltySpeedCell(f, 0), QStringLiteral("200.00"));
        QVERIFY(!needsWideSpeedColumn(f.cells.at(ColSpeed)));
        // Thirty errors in a hundred characters: the penalty goes below zero and keeps its sign.
        QCOMPARE(penaltySpeedCell(f, 30), QStringLiteral("-100.00/200.00"));

        QCOMPARE(resultButtonTexts(f.cells), QStringList({QStringLiteral("速度:200.00"), QStringLiteral("击键:8.33"),
                                                          QStringLiteral("码长:2.50")}));
        QCOMPARE(resultButtonTexts({}),
                 QStringList({QStringLiteral("速度:"), QStringLiteral("击键:"), QStringLiteral("码长:")}));
        QCOMPARE(resultColumnHeaders().size(), int(ResultColumnCount));
    }

    void zeroLimits_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("uncounted");
        QTest::addColumn<int>("keys");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("keyRate");
        QTest::addColumn<QString>("codeLength");
        QTest::addColumn<QString>("accuracy");
        QTest::addColumn<QString>("wordRatio");

        QTest::addRow("no ticks") << 0 << 10 << 0 << 30 << "0.00"
                                  << "0.00"
                                  << "3.00"
                                  << "100.00"
                                  << "50.00";
        QTest::addRow("no keys") << 600 << 10 << 0 << 0 << "100.00"
                                 << "0.00"
                                 << "0.00"
                                 << "0.00"
                                 << "50.00";
        QTest::addRow("no chars") << 600 << 0 << 0 << 5 << "0.00"
                                  << "0.83"
                                  << "0.00"
                                  << "100.00"
                                  << "0.00";
        QTest::addRow("first commit only") << 600 << 2 << 2 << 5 << "0.00"
                                           << "0.83"
                                           << "0.00"
                                           << "100.00"
                                           << "0.00";
        QTest::addRow("nothing at all") << 0 << 0 << 0 << 0 << "0.00"
                                        << "0.00"
                                        << "0.00"
                                        << "0.00"
                                        << "0.00";
    }

    void zeroLimits()
    {
        QFETCH(int, ticks);
        QFETCH(int, typed);
        QFETCH(int, uncounted);
        QFETCH(int, keys);
        RunInputs in;
        in.ticks = ticks;
        in.typedCount = typed;
        in.uncountedLength = uncounted;
        in.wordChars = 5;
        in.keys.keyCount = keys;
        in.previousCodeLength = 2.75;
        const ResultFigures f = computeResultFigures(in);

        QTEST(f.speedText, "speed");
        QTEST(f.keyRateText, "keyRate");
        QTEST(f.codeLengthText, "codeLength");
        QTEST(f.keyAccuracyText, "accuracy");
        QTEST(f.wordRatioText, "wordRatio");
        QVERIFY(qIsFinite(f.speed) && qIsFinite(f.keyRate) && qIsFinite(f.codeLength));
        for (const QString& cell : f.cells)
            QVERIFY2(!cell.contains("nan") && !cell.contains("inf"), qPrintable(cell));
        QVERIFY(qIsFinite(penaltySpeed(f, 3)));
        // With nothing counted the code length keeps its last value for the colouring.
        if (typed == uncounted)
            QCOMPARE(f.codeLength, 2.75);
    }

    void ratios_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("wordChars");
        QTest::addColumn<QString>("hand");
        QTest::addColumn<QString>("words");

        QTest::addRow("both hands") << 50 << 200 << 25 << "25.00%"
                                    << "25.00%";
        QTest::addRow("left only") << 7 << 0 << 0 << "+100.00%"
                                   << "0.00%";
        QTest::addRow("right only") << 0 << 7 << 100 << "-100.00%"
                                    << "100.00%";
        QTest::addRow("no hand") << 0 << 0 << 250 << "0.00%"
                                 << "100.00%";
    }

    void ratios()
    {
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, wordChars);
        RunInputs in = workedRun();
        in.keys.leftKeys = left;
        in.keys.rightKeys = right;
        in.wordChars = wordChars;
        const ResultFigures f = computeResultFigures(in);
        QTEST(f.cells.at(ColHandRatio), "hand");
        QTEST(f.cells.at(ColWordRatio), "words");
    }

    void clockAndPadding()
    {
        QString s = "5";
        padZero(s, 2);
        QCOMPARE(s, QStringLiteral("05"));
        s.clear();
        padZero(s, 2);
        QCOMPARE(s, QStringLiteral("0"));
        s = "123";
        padZero(s, 2);
        QCOMPARE(s, QStringLiteral("123"));

        QCOMPARE(clockText(99), QStringLiteral("00:00.99"));
        QCOMPARE(clockText(100), QStringLiteral("00:01.00"));
        QCOMPARE(clockText(5999), QStringLiteral("00:59.99"));
        QCOMPARE(clockText(6000), QStringLiteral("01:00.00"));
        QCOMPARE(clockText(600000), QStringLiteral("100:00.00"));
        QCOMPARE(fixed2(qInf()), QStringLiteral("0.00"));
    }

    void colours_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("keyRate");
        QTest::addColumn<int>("codeLength");
        const int none = int(CellColour::None), red = int(CellColour::Red), green = int(CellColour::Green),
                  blue = int(CellColour::Blue);
        // Each row feeds the same number to all three figures.
        QTest::addRow("220") << 220.0 << red << red << none;
        QTest::addRow("200") << 200.0 << green << red << none;
        QTest::addRow("180") << 180.0 << blue << red << none;
        QTest::addRow("179.99") << 179.99 << none << red << none;
        QTest::addRow("9") << 9.0 << none << green << none;
        QTest::addRow("8") << 8.0 << none << blue << none;
        QTest::addRow("2.21") << 2.21 << none << none << none;
        QTest::addRow("2.2") << 2.2 << none << none << blue;
        QTest::addRow("2.0") << 2.0 << none << none << green;
        QTest::addRow("1.8") << 1.8 << none << none << red;
    }

    void colours()
    {
        QFETCH(double, value);
        const ResultColours c = resultColours(value, value, value);
        QTEST(int(c.speed), "speed");
        QTEST(int(c.keyRate), "keyRate");
        QTEST(int(c.codeLength), "codeLength");
    }

    void historiesAndPeaks()
    {
        ResultHistories h;
        ResultFigures f = computeResultFigures(workedRun());
        h.append(f);
        h.append(f);
        QCOMPARE(h.speedHistory, QStringLiteral("200 200 "));
        QCOMPARE(h.speedHistory2, QStringLiteral("200.00 200.00 "));
        QCOMPARE(h.keyRateHistory, QStringLiteral("8.33 8.33 "));
        QCOMPARE(h.codeLenHistory, QStringLiteral("2.50 2.50 "));

        h.speedHistory = "900 450 320 305 ";
        h.speedHistory2 = "900.00 450.00 320.00 305.00 ";
        h.keyRateHistory = "30.00 12.00 12.01 11.00 ";
        h.codeLenHistory = "9.00 1.50 1.49 2.10 ";
        CurvePeaks p = h.filterAndPeaks(300.0, 10.0, 2.0);
        QCOMPARE(h.speedHistory, QStringLiteral("320 305 "));
        QCOMPARE(h.speedHistory2, QStringLiteral("320.00 305.00 "));
        QCOMPARE(h.keyRateHistory, QStringLiteral("12.00 11.00 "));
        QCOMPARE(h.codeLenHistory, QStringLiteral("1.50 2.10 "));
        QCOMPARE(p.speed, 320.0);
        QCOMPARE(p.keyRate, 12.0);
        QCOMPARE(p.codeLength, 1.5);

        // A zero code length passes a low threshold but never becomes the lowest code length.
        h.codeLenHistory = "5.00 2.40 0.00 2.20 ";
        QCOMPARE(h.filterAndPeaks(300.0, 10.0, 0.3).codeLength, 2.2);

        h.clear();
        QVERIFY(h.speedHistory.isEmpty() && h.codeLenHistory.isEmpty());
        p = h.filterAndPeaks(300.0, 10.0, 2.0);
        QCOMPARE(p.speed, 0.0);
        QCOMPARE(p.keyRate, 0.0);
        QCOMPARE(p.codeLength, 0.0);
    }

    void defaultLineText()
    {
        const ResultLine line = buildResultLine(runResult(computeResultFigures(workedRun())), settings(false, false),
                                                RunEnd::FollowOrBlind);
        const QString plain = QStringLiteral("第1段 速度200.00 击键8.33 码长2.50 字数102 时间00:30.00 回改10 退格4 "
                                             "回车1 键数250 选重20 键准96.00% 键法92.31% 重打2 打词40.00% "
                                             "峰值216.667/9.25/2");
        QCOMPARE(line.resultTextPlain, plain);
        QCOMPARE(line.check, QStringLiteral("65171"));
        QCOMPARE(line.resultText, plain + QStringLiteral(" 校检:65171 Tavrel跟打器v1.36 "));
        QCOMPARE(line.shortResult, line.resultText);
        QCOMPARE(verifyResultLine(line.resultText, false, false).outcome, LineCheck::Genuine);
    }

    void allItemsOff()
    {
        LineSettings s = settings(false, false);
        s.items.shown.fill(false);
        RunResult r = runWithErrors(QStringLiteral("一"), QStringLiteral("壹"));
        const ResultLine line = buildResultLine(r, s, RunEnd::FollowOrBlind);
        QCOMPARE(line.resultText, QStringLiteral("第1段 校检:091e6 Tavrel跟打器v1.36 "));
        QCOMPARE(line.resultTextPlain, QStringLiteral("第1段"));
        // Without the three figures there is no peak item either.
        s.items.shown[ColSpeed] = s.items.shown[ColKeyRate] = true;
        QVERIFY(!buildResultLine(r, s, RunEnd::FollowOrBlind).resultText.contains(QStringLiteral("峰值")));
    }

    void lineWithErrors()
    {
        const RunResult r = runWithErrors(QStringLiteral("一二三四五六七"), QStringLiteral("壹贰叁肆伍陆柒"));
        const ResultLine line = buildResultLine(r, settings(false, false), RunEnd::FollowOrBlind);
        const QString part = QStringLiteral(" 错字7 错情[一二三四五六七√ 壹贰叁肆伍陆柒×][错一罚五]");
        QVERIFY(line.resultTextPlain.startsWith(QStringLiteral("第1段 速度130.00/200.00 击键")));
        QVERIFY(line.resultTextPlain.endsWith(part));
        QVERIFY(line.shortResult.contains(part));
        QCOMPARE(verifyResultLine(line.resultText, false, false).message, QStringLiteral("成绩为真！"));

        // Eleven errors: the pop-up keeps ten of each, the posted line all of them.
        const RunResult r11 =
            runWithErrors(QStringLiteral("一二三四五六七八九十百"), QStringLiteral("壹贰叁肆伍陆柒捌玖拾佰"));
        const ResultLine l11 = buildResultLine(r11, settings(false, false), RunEnd::FollowOrBlind);
        QVERIFY(
            l11.resultText.contains(QStringLiteral(" 错字11 错情[一二三四五六七八九十百√ 壹贰叁肆伍陆柒捌玖拾佰×]")));
        QVERIFY(l11.shortResult.contains(
            QStringLiteral(" 错字11 错情[一二三四五六七八九十...√ 壹贰叁肆伍陆柒捌玖拾...×][错一罚五]")));

        // A character outside the BMP at the cut is left out whole, never split.
        const QString wide =
            QStringLiteral("一二三四五六七八九") + QString::fromUcs4(U"\U00020000") + QStringLiteral("十");
        const ResultLine lw = buildResultLine(runWithErrors(wide, wide), settings(false, false), RunEnd::FollowOrBlind);
        QVERIFY(lw.shortResult.contains(QStringLiteral("[一二三四五六七八九...√ ")));

        // With the wrong-character switch off the line has no error part and still verifies.
        LineSettings s = settings(false, false);
        s.items.shown[ColWrong] = false;
        const ResultLine off = buildResultLine(r, s, RunEnd::FollowOrBlind);
        QVERIFY(!off.resultText.contains(QStringLiteral("错情")));
        QCOMPARE(verifyResultLine(off.resultText, false, false).outcome, LineCheck::Genuine);
    }

    void freeAndBlindMode()
    {
        RunResult r = runWithErrors(QStringLiteral("一"), QStringLiteral("壹"));
        const ResultLine free = buildResultLine(r, settings(false, false, 1), RunEnd::Free);
        QVERIFY(free.resultText.endsWith(QStringLiteral("Tavrel跟打器v1.36  自由模式")));
        QVERIFY(!free.resultText.contains(QStringLiteral("错情")));
        QCOMPARE(verifyResultLine(free.resultText, false, false).outcome, LineCheck::Genuine);

        // A free run's items are trimmed before they are hashed.
        r.segmentHeader = QStringLiteral("  ");
        const ResultLine trimmed = buildResultLine(r, settings(false, false, 1), RunEnd::Free);
        QVERIFY(trimmed.resultTextPlain.startsWith(QStringLiteral("速度")));
        QCOMPARE(verifyResultLine(trimmed.resultText, false, false).outcome, LineCheck::Genuine);

        const ResultLine blind = buildResultLine(r, settings(true, false, 2), RunEnd::FollowOrBlind);
        QVERIFY(blind.resultText.endsWith(QStringLiteral(" 盲打模式")));
        QVERIFY(blind.shortResult.endsWith(QStringLiteral(" 盲打模式")));
    }

    void otherMembersSwitches_data()
    {
        QTest::addColumn<bool>("posterIm");
        QTest::addColumn<bool>("posterSignature");
        QTest::addColumn<bool>("checkerIm");
        QTest::addColumn<bool>("checkerSignature");
        for (int poster = 0; poster < 4; ++poster)
            for (int checker = 0; checker < 4; ++checker)
                QTest::addRow("poster %d%d checker %d%d", poster & 1, poster >> 1, checker & 1, checker >> 1)
                    << bool(poster & 1) << bool(poster >> 1) << bool(checker & 1) << bool(checker >> 1);
    }

    void otherMembersSwitches()
    {
        QFETCH(bool, posterIm);
        QFETCH(bool, posterSignature);
        QFETCH(bool, checkerIm);
        QFETCH(bool, checkerSignature);
        const RunResult r = runWithErrors(QStringLiteral("一二"), QStringLiteral("壹贰"));
        const ResultLine line = buildResultLine(r, settings(posterIm, posterSignature), RunEnd::FollowOrBlind);
        QCOMPARE(line.resultText.contains(QStringLiteral(" 输入法:五笔86版输入法")), posterIm);
        QCOMPARE(line.resultText.contains(QStringLiteral(" 个签:慢慢来比较快")), posterSignature);
        QCOMPARE(verifyResultLine(line.resultText, checkerIm, checkerSignature).outcome, LineCheck::Genuine);

        // The name and signature are not hashed: changing them keeps the line genuine.
        QString renamed = line.resultText;
        renamed.replace(QStringLiteral("五笔86版"), QStringLiteral("拼音"));
        renamed.replace(QStringLiteral("慢慢来"), QStringLiteral("快快"));
        QCOMPARE(verifyResultLine(renamed, checkerIm, checkerSignature).outcome, LineCheck::Genuine);
    }

    void tampered_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addRow("speed digit") << "速度180.00"
                                     << "速度181.00";
        QTest::addRow("time digit") << "时间00:30.00"
                                    << "时间00:29.00";
        QTest::addRow("peak") << "峰值216.667"
                              << "峰值226.667";
        QTest::addRow("wrong count") << "错字2"
                                     << "错字1";
        QTest::addRow("segment") << "第1段"
                                 << "第2段";
        QTest::addRow("check digit") << "校检:"
                                     << "校检:0";
    }

    void tampered()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        const RunResult r = runWithErrors(QStringLiteral("一二"), QStringLiteral("壹贰"));
        for (int sw = 0; sw < 4; ++sw) {
            const bool im = sw & 1, signature = sw >> 1;
            QString text = buildResultLine(r, settings(im, signature), RunEnd::FollowOrBlind).resultText;
            QVERIFY2(text.contains(from), qPrintable(text));
            text.replace(text.indexOf(from), from.length(), to);
            const LineCheck check = verifyResultLine(text, im, signature);
            QCOMPARE(check.outcome, LineCheck::Forged);
            QCOMPARE(check.message, QStringLiteral("成绩为假！"));
        }
    }

    void verifierEdges()
    {
        const ResultLine line =
            buildResultLine(runResult(computeResultFigures(workedRun())), settings(true, true), RunEnd::FollowOrBlind);
        // Copied from a chat window with surrounding line breaks.
        QCOMPARE(verifyResultLine("\r\n  " + line.resultText + "\n", true, true).outcome, LineCheck::Genuine);

        const LineCheck foreign = verifyResultLine(QStringLiteral("第1段 速度100 校检:12345 别的跟打器"), false, false);
        QCOMPARE(foreign.outcome, LineCheck::NotOurs);
        QCOMPARE(foreign.message, QStringLiteral("只能识别Tavrel跟打器成绩！"));
        QCOMPARE(verifyResultLine(QStringLiteral("第1段 速度100 ") + Title, false, false).outcome, LineCheck::Forged);

        // A signature that holds a check label of its own does not hide the real field.
        LineSettings s = settings(false, true);
        s.qianMing = QStringLiteral("看这 校检:00000");
        const ResultLine sig = buildResultLine(runResult(computeResultFigures(workedRun())), s, RunEnd::FollowOrBlind);
        QCOMPARE(verifyResultLine(sig.resultText, false, true).outcome, LineCheck::Genuine);
        QCOMPARE(verifyResultLine(sig.resultText, false, false).outcome, LineCheck::Genuine);

        // The verifier's own switches still decide first: this line is accepted only by a member
        // whose input-method switch is on, as before.
        const QString head = QStringLiteral("第1段 速度1 ");
        const QString odd = head + QStringLiteral("X输入法:abc 校检:") + checkField(head) + QLatin1Char(' ') + Title;
        QCOMPARE(verifyResultLine(odd, true, false).outcome, LineCheck::Genuine);
        QCOMPARE(verifyResultLine(odd, false, false).outcome, LineCheck::Forged);
    }

    void shortForm()
    {
        LineSettings s = settings(true, true, 1);
        s.shuRuFa = QStringLiteral("12345678901");
        s.qianMing = QString(300, QLatin1Char('q'));
        const ResultLine line = buildResultLine(runResult(computeResultFigures(workedRun())), s, RunEnd::Free);
        QVERIFY(line.resultText.contains(QStringLiteral(" 输入法:12345678901 个签:") + s.qianMing));
        QVERIFY(line.shortResult.contains(QStringLiteral(" 输入法:1234567890... 个签:qqqqqqqqqqqqqqq... 校检:")));
        QCOMPARE(verifyResultLine(line.resultText, true, true).outcome, LineCheck::Genuine);
        // Names of exactly ten and fifteen units are shown whole.
        s.shuRuFa = QStringLiteral("1234567890");
        s.qianMing = QString(15, QLatin1Char('q'));
        const ResultLine exact = buildResultLine(runResult(computeResultFigures(workedRun())), s, RunEnd::Free);
        QVERIFY(exact.shortResult.contains(QStringLiteral(" 输入法:1234567890 个签:qqqqqqqqqqqqqqq 校检:")));

        // Past 230 units the pop-up text is cut; the mode goes behind the cut.
        RunResult r = runResult(computeResultFigures(workedRun()));
        r.segmentHeader = QString(200, QLatin1Char('h'));
        const ResultLine cut = buildResultLine(r, s, RunEnd::Free);
        QCOMPARE(cut.shortResult.length(), 230 + 5);
        QVERIFY(cut.shortResult.endsWith(QStringLiteral(" 自由模式")));
        QVERIFY(cut.resultText.length() > 235);
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "test_results.moc"
