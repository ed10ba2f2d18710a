// The figures of a run and the texts that travel through the chat: the result line with its check,
// and the segment post read back from a copied chat history.
#include <QtTest>

#include "typing/core/capture.h"
#include "typing/core/resultline.h"
#include "typing/core/results.h"

namespace {

const QString Title = QStringLiteral("Tavrel跟打器v1.36 ");

// 100 counted characters (102 typed, the first commit of 2 does not count, 40 in words) in 30 seconds
// of the second retype; 250 keys: 20 selections, 1 Enter, 14 Backspaces, 10 corrections, 120 left-hand
// and 130 right-hand keys.
RunInputs workedRun()
{
    return {3000, 102, 2, 40, 0, 2, 0.0, {250, 20, 1, 14, 10, 120, 130}};
}

// The end of a follow run with the given wrong characters; the penalty speed goes in cell 0.
RunResult runResult(const QString& wrongRef = QString(), const QString& wrongTyped = QString())
{
    RunInputs in = workedRun();
    in.wrongCount = wrongRef.size();
    const ResultFigures f = computeResultFigures(in);
    // Peaks of speed, key rate and code length.
    RunResult r{QStringLiteral("第1段"), f.cells, 216.6666666, 9.25, 2.0, in.wrongCount, wrongRef, wrongTyped};
    r.cells[ColSpeed] = penaltySpeedCell(f, in.wrongCount);
    return r;
}

// Input-method name and signature, each with its switch.
LineSettings settings(bool im = false, bool signature = false, int pattern = 0)
{
    const QString name = QStringLiteral("五笔86版输入法");
    return {ColumnSwitches(), im, name, signature, QStringLiteral("慢慢来比较快"), pattern, Title};
}

ResultLine line(const RunResult& r, const LineSettings& s = settings(), RunEnd end = RunEnd::FollowOrBlind)
{
    return buildResultLine(r, s, end);
}

LineCheck::Outcome verified(const QString& text, bool im = false, bool signature = false)
{
    return verifyResultLine(text, im, signature).outcome;
}

// "title|passage|header|number" for a found post, with "|contest" for the contest segment;
// "none|header|number" when no post was found (the header is still reported).
QString describe(const CapturedSegment& s)
{
    const QString tail = QStringLiteral("%1|%2").arg(s.segmentHeader).arg(s.segmentNumber);
    if (!s.found)
        return s.passage.isEmpty() ? QStringLiteral("none|") + tail : QStringLiteral("passage without post");
    return s.title + '|' + s.passage + '|' + tail + (s.contest ? QStringLiteral("|contest") : QString());
}

} // namespace

class TestResults : public QObject
{
    Q_OBJECT

private slots:
    void workedRunFigures()
    {
        const ResultFigures f = computeResultFigures(workedRun());
        QCOMPARE(f.keyRate, 250 / 30.0); // unrounded, for the colours
        QCOMPARE(f.cells.join(' '),
                 QStringLiteral("200.00 8.33 2.50 102 00:30.00 10 4 1 250 20 96.00% 92.31% 2 40.00% 0"));
        // One wrong character costs five: (100 - 5) / 0.5; thirty take the penalty below zero.
        QCOMPARE(penaltySpeedCell(f, 30), QStringLiteral("-100.00/200.00"));
        QVERIFY(needsWideSpeedColumn(penaltySpeedCell(f, 1)) && !needsWideSpeedColumn(f.cells.at(ColSpeed)));
        // The shortest penalty cell, nine characters (45 characters, 4 wrong, in 5 minutes), widens it too.
        const ResultFigures slow = computeResultFigures({30000, 45, 0, 0, 4, 0, 0.0, {}});
        QCOMPARE(penaltySpeedCell(slow, 4), QStringLiteral("5.00/9.00"));
        QVERIFY(needsWideSpeedColumn(penaltySpeedCell(slow, 4)));
        QCOMPARE(resultButtonTexts(f.cells), QStringList({"速度:200.00", "击键:8.33", "码长:2.50"}));
        QCOMPARE(resultButtonTexts({}), QStringList({"速度:", "击键:", "码长:"}));
        QCOMPARE(fixed2(qInf()), QStringLiteral("0.00"));
        QCOMPARE(clockText(99) + clockText(6000) + clockText(600000), QStringLiteral("00:00.9901:00.00100:00.00"));
    }

    // Figures at the limits: no time, no keys, nothing counted, one hand only.
    void limits_data()
    {
        QTest::addColumn<QVector<int>>("in"); // ticks, typed, uncounted, word characters, keys, left, right
        QTest::addColumn<QString>("figures"); // speed, key rate, code length, key accuracy, hands, words
        // clang-format off
        QTest::addRow("no ticks") << QVector<int>{0, 10, 0, 5, 30, 1, 1} << "0.00 0.00 3.00 100.00 100.00% 50.00%";
        QTest::addRow("no keys") << QVector<int>{600, 10, 0, 5, 0, 0, 0} << "100.00 0.00 0.00 0.00 0.00% 50.00%";
        QTest::addRow("first commit") << QVector<int>{600, 2, 2, 5, 5, 7, 0} << "0.00 0.83 0.00 100.00 +100.00% 0.00%";
        QTest::addRow("past the page") << QVector<int>{600, 2, 5, 5, 5, 7, 0} << "0.00 0.83 0.00 100.00 +100.00% 0.00%";
        QTest::addRow("nothing at all") << QVector<int>{0, 0, 0, 0, 0, 0, 7} << "0.00 0.00 0.00 0.00 -100.00% 0.00%";
        QTest::addRow("words") << QVector<int>{600, 10, 0, 250, 5, 0, 0} << "100.00 0.83 0.50 100.00 0.00% 100.00%";
        // clang-format on
    }

    void limits()
    {
        QFETCH(QVector<int>, in); // the code length before this evaluation was 2.75
        const ResultFigures f =
            computeResultFigures({in[0], in[1], in[2], in[3], 0, 0, 2.75, {in[4], 0, 0, 0, 0, in[5], in[6]}});
        QTEST(QStringList({f.speedText, f.keyRateText, f.codeLengthText, f.keyAccuracyText, f.cells.at(ColHandRatio),
                           f.cells.at(ColWordRatio)})
                  .join(' '),
              "figures");
        QVERIFY(qIsFinite(f.speed) && qIsFinite(f.keyRate) && qIsFinite(penaltySpeed(f, 3)));
        QVERIFY2(!f.cells.join(' ').contains("nan") && !f.cells.join(' ').contains("inf"),
                 qPrintable(f.cells.join(' ')));
        // With nothing counted the code length keeps its last value for the colouring.
        if (in[1] == in[2])
            QCOMPARE(f.codeLength, 2.75);
    }

    // Each band starts at its bound: speed 220, 200, 180; key rate 10, 9, 8; code length 1.8, 2.0, 2.2.
    void colours()
    {
        const auto colours = [](double speed, double keyRate, double codeLength) {
            const ResultColours c = resultColours(speed, keyRate, codeLength);
            QString out; // none, Red, Green, Blue
            for (const CellColour colour : {c.speed, c.keyRate, c.codeLength})
                out += QStringLiteral("-RGB").at(int(colour));
            return out;
        };
        QCOMPARE(colours(220, 10, 1.8), QStringLiteral("RRR"));
        QCOMPARE(colours(200, 9, 2.0), QStringLiteral("GGG"));
        QCOMPARE(colours(180, 8, 2.2), QStringLiteral("BBB"));
        QCOMPARE(colours(179.99, 7.99, 2.21), QStringLiteral("---"));
    }

    void historiesAndPeaks()
    {
        ResultHistories h;
        const auto all = [&h] {
            return QStringList{h.speedHistory, h.speedHistory2, h.keyRateHistory, h.codeLenHistory};
        };
        h.append(computeResultFigures(workedRun()));
        h.append(computeResultFigures(workedRun()));
        QCOMPARE(all(), QStringList({"200 200 ", "200.00 200.00 ", "8.33 8.33 ", "2.50 2.50 "}));

        // The first sample and those far off the final figures go (a speed up to 30 above stays); the
        // rest give the peaks.
        h.speedHistory = "900 450 330 305 ";
        h.speedHistory2 = "900.00 450.00 330.00 305.00 ";
        h.keyRateHistory = "30.00 12.00 12.01 11.00 ";
        h.codeLenHistory = "9.00 1.50 1.49 2.10 ";
        CurvePeaks p = h.filterAndPeaks(300.0, 10.0, 2.0);
        QCOMPARE(all(), QStringList({"330 305 ", "330.00 305.00 ", "12.00 11.00 ", "1.50 2.10 "}));
        QCOMPARE(QVector<double>({p.speed, p.keyRate, p.codeLength}), QVector<double>({330.0, 12.0, 1.5}));
        // A zero code length passes a low threshold but never becomes the lowest code length.
        h.codeLenHistory = "5.00 2.40 0.00 2.20 ";
        QCOMPARE(h.filterAndPeaks(300.0, 10.0, 0.3).codeLength, 2.2);
        h.clear();
        p = h.filterAndPeaks(300.0, 10.0, 2.0);
        QVERIFY(all().join("").isEmpty() && p.speed == 0.0 && p.keyRate == 0.0 && p.codeLength == 0.0);
    }

    void lineText()
    {
        const ResultLine plain = line(runResult());
        const QString items = QStringLiteral("第1段 速度200.00 击键8.33 码长2.50 字数102 时间00:30.00 回改10 退格4 "
                                             "回车1 键数250 选重20 键准96.00% 键法92.31% 重打2 打词40.00% "
                                             "峰值216.667/9.25/2");
        QCOMPARE(plain.resultTextPlain, items);
        QCOMPARE(plain.resultText, items + QStringLiteral(" 校检:65171 Tavrel跟打器v1.36 "));
        QCOMPARE(plain.shortResult, plain.resultText);

        // Every item off: the header alone; without the three figures there is no peak item either.
        LineSettings s = settings();
        s.items.shown.fill(false);
        const RunResult r = runResult(QStringLiteral("一"), QStringLiteral("壹"));
        QCOMPARE(line(r, s).resultText, QStringLiteral("第1段 校检:091e6 Tavrel跟打器v1.36 "));
        s.items.shown[ColSpeed] = s.items.shown[ColKeyRate] = true;
        QVERIFY(!line(r, s).resultText.contains(QStringLiteral("峰值")));
    }

    void lineWithErrors()
    {
        const RunResult r = runResult(QStringLiteral("一二三四五六七"), QStringLiteral("壹贰叁肆伍陆柒"));
        const ResultLine seven = line(r);
        const QString part = QStringLiteral(" 错字7 错情[一二三四五六七√ 壹贰叁肆伍陆柒×][错一罚五]");
        QVERIFY(seven.resultTextPlain.startsWith(QStringLiteral("第1段 速度130.00/200.00 击键")));
        QVERIFY(seven.resultTextPlain.endsWith(part) && seven.shortResult.contains(part));
        QCOMPARE(verifyResultLine(seven.resultText, false, false).message, QStringLiteral("成绩为真！"));

        // Ten errors fit the pop-up whole; eleven: it keeps ten of each, the posted line all of them.
        QVERIFY(line(runResult(QStringLiteral("一二三四五六七八九十"), QStringLiteral("壹贰叁肆伍陆柒捌玖拾")))
                    .shortResult.contains(QStringLiteral(" 错字10 错情[一二三四五六七八九十√ 壹贰叁肆伍陆柒捌玖拾×]")));
        const ResultLine eleven =
            line(runResult(QStringLiteral("一二三四五六七八九十百"), QStringLiteral("壹贰叁肆伍陆柒捌玖拾佰")));
        QVERIFY(eleven.resultText.contains(
            QStringLiteral(" 错字11 错情[一二三四五六七八九十百√ 壹贰叁肆伍陆柒捌玖拾佰×]")));
        QVERIFY(eleven.shortResult.contains(
            QStringLiteral(" 错字11 错情[一二三四五六七八九十...√ 壹贰叁肆伍陆柒捌玖拾...×][错一罚五]")));
        // A character outside the BMP at the cut is left out whole, never split.
        const QString wide = QStringLiteral("一二三四五六七八九\U00020000十");
        QVERIFY(line(runResult(wide, wide)).shortResult.contains(QStringLiteral("[一二三四五六七八九...√ ")));

        // With the wrong-character switch off the line has no error part.
        LineSettings s = settings();
        s.items.shown[ColWrong] = false;
        QVERIFY(!line(r, s).resultText.contains(QStringLiteral("错情")));
    }

    void freeAndBlindMode()
    {
        RunResult r = runResult(QStringLiteral("一"), QStringLiteral("壹"));
        r.segmentHeader = QStringLiteral("  "); // a free run's items are trimmed before they are hashed
        const ResultLine free = line(r, settings(false, false, 1), RunEnd::Free);
        QVERIFY(free.resultText.endsWith(QStringLiteral("Tavrel跟打器v1.36  自由模式")));
        QVERIFY(!free.resultText.contains(QStringLiteral("错情")));
        QVERIFY(free.resultTextPlain.startsWith(QStringLiteral("速度")));
        QCOMPARE(verified(free.resultText), LineCheck::Genuine);
        const ResultLine blind = line(r, settings(true, false, 2));
        QVERIFY(blind.resultText.endsWith(QStringLiteral(" 盲打模式")) && blind.shortResult.endsWith(" 盲打模式"));
    }

    // Whatever the poster's switches, the name and signature are not hashed, every figure and the check are.
    void switchesAndTampering()
    {
        const QVector<QPair<QString, QString>> tampered{
            {"速度180.00", "速度181.00"}, {"时间00:30.00", "时间00:29.00"}, {"峰值216.667", "峰值226.667"},
            {"错字2", "错字1"},           {"第1段", "第2段"},               {"校检:", "校检:0"}};
        for (int poster = 0; poster < 4; ++poster) {
            const QString text =
                line(runResult(QStringLiteral("一二"), QStringLiteral("壹贰")), settings(poster & 1, poster & 2))
                    .resultText;
            QString renamed = text;
            renamed.replace(QStringLiteral("五笔86版"), QStringLiteral("拼音")).replace("慢慢来", QStringLiteral("快快"));
            QCOMPARE(verified(renamed, poster & 1, poster & 2), LineCheck::Genuine);
            for (const auto& [from, to] : tampered) {
                QVERIFY2(text.contains(from), qPrintable(text));
                const LineCheck check =
                    verifyResultLine(QString(text).replace(text.indexOf(from), from.size(), to), poster & 1, poster & 2);
                QCOMPARE(check.outcome, LineCheck::Forged);
                QCOMPARE(check.message, QStringLiteral("成绩为假！"));
            }
        }
    }

    void verifierEdges()
    {
        // Copied from a chat window with surrounding line breaks.
        QCOMPARE(verified("\r\n  " + line(runResult(), settings(true, true)).resultText + "\n", true, true),
                 LineCheck::Genuine);

        const LineCheck foreign = verifyResultLine(QStringLiteral("第1段 速度100 校检:12345 别的跟打器"), false, false);
        QCOMPARE(foreign.outcome, LineCheck::NotOurs);
        QCOMPARE(foreign.message, QStringLiteral("只能识别Tavrel跟打器成绩！"));
        QCOMPARE(verified(QStringLiteral("第1段 速度100 ") + Title), LineCheck::Forged);

        // A signature that holds a check label of its own does not hide the real field.
        LineSettings s = settings(false, true);
        s.qianMing = QStringLiteral("看这 校检:00000");
        QCOMPARE(verified(line(runResult(), s).resultText, false, true), LineCheck::Genuine);
        QCOMPARE(verified(line(runResult(), s).resultText, false, false), LineCheck::Genuine);

        // The verifier's own switches decide first: only one with the input-method switch on accepts this.
        const QString head = QStringLiteral("第1段 速度1 ");
        const QString odd = head + QStringLiteral("X输入法:abc 校检:") + checkField(head) + QLatin1Char(' ') + Title;
        QCOMPARE(verified(odd, true, false), LineCheck::Genuine);
        QCOMPARE(verified(odd, false, false), LineCheck::Forged);
    }

    void shortForm()
    {
        LineSettings s = settings(true, true, 1);
        s.shuRuFa = QStringLiteral("12345678901");
        s.qianMing = QString(300, QLatin1Char('q'));
        const ResultLine cut = line(runResult(), s, RunEnd::Free);
        QVERIFY(cut.resultText.contains(QStringLiteral(" 输入法:12345678901 个签:") + s.qianMing));
        QVERIFY(cut.shortResult.contains(QStringLiteral(" 输入法:1234567890... 个签:qqqqqqqqqqqqqqq... 校检:")));
        // Names of exactly ten and fifteen units are shown whole.
        s.shuRuFa = QStringLiteral("1234567890");
        s.qianMing = QString(15, QLatin1Char('q'));
        QVERIFY(line(runResult(), s, RunEnd::Free)
                    .shortResult.contains(QStringLiteral(" 输入法:1234567890 个签:qqqqqqqqqqqqqqq 校检:")));
        // Past 230 units the pop-up text is cut; the mode goes behind the cut.
        RunResult r = runResult();
        r.segmentHeader = QString(200, QLatin1Char('h'));
        const ResultLine longLine = line(r, s, RunEnd::Free);
        QCOMPARE(longLine.shortResult.length(), 230 + 5);
        QVERIFY(longLine.shortResult.endsWith(QStringLiteral(" 自由模式")) && longLine.resultText.length() > 235);
    }

    void parseHistory_data()
    {
        QTest::addColumn<QString>("history");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("sender lines, newest wins")
            << "张三 12:00:01\n春晓\n春眠不觉晓\n-----第3段-余20字\n李四 12:01:30\n夜雨\n处处闻啼鸟\n-----第4段-余15字\n"
            << "夜雨|处处闻啼鸟|第4段|4";
        QTest::addRow("marker at the very start") << "-----第1段-余0字\n后面的聊天" << "none||0";
        QTest::addRow("marker at the start, post later") << "-----第1段-余9字\n标题\n正文\n-----第2段-余3字" << "标题|正文|第2段|2";
        QTest::addRow("full-width digits")
            << "旧题\n旧文\n-----第7段-余1字\n标题\n正文\n-----第８段-余0字" << "旧题|旧文|第7段|7";
        QTest::addRow("six hyphens") << "标题\n正文\n------第3段-余3字" << "none||0";
        QTest::addRow("four hyphens") << "标题\n正文\n----第3段-余3字" << "none||0";
        QTest::addRow("no digits") << "标题\n正文\n-----第段-余3字" << "none||0";
        QTest::addRow("blank before the header") << "标题\n正文\n----- 第3段" << "none||0";
        // The newest marker decides even when its passage is empty: the older post is not fetched.
        QTest::addRow("empty passage") << "旧题\n旧文\n-----第1段-余9字\n标题\n\n-----第2段-余3字" << "none|第2段|2";
        QTest::addRow("marker alone after a line break") << "\n-----第2段" << "none|第2段|2";
        QTest::addRow("windows line ends") << "张三 12:00\r\n标题\r\n正文\r\n-----第5段-余9字\r\n" << "标题|正文|第5段|5";
        QTest::addRow("contest segment") << "比赛\n正文\n-----第999段-余0字" << "比赛|正文|第999段|999|contest";
        QTest::addRow("leading zeros are not the contest") << "比赛\n正文\n-----第0999段-余0字" << "比赛|正文|第0999段|999";
        QTest::addRow("rest count without its end") << "标题\n正文\n-----第8段-余12" << "标题|正文|第8段|8";
        QTest::addRow("number too large") << "标题\n正文\n-----第99999999999段-余1字" << "标题|正文|第99999999999段|0";
        // The title is the line right before the passage, even when the passage also appears earlier.
        QTest::addRow("passage repeated earlier") << "正文\n闲聊\n标题\n正文\n-----第6段-余2字" << "标题|正文|第6段|6";
        // Half a surrogate pair anywhere does not hide the post; in the post it shows as U+FFFD.
        QTest::addRow("lone surrogates")
            << QString::fromUtf16(u"旧\xD800\n标题\n正文\xDC00𠀀\n-----第3段-余2字\n\xDBFF")
            << QString::fromUtf16(u"标题|正文\xFFFD𠀀|第3段|3");
        // clang-format on
    }

    void parseHistory()
    {
        QFETCH(QString, history);
        QTEST(describe(parseCapturedHistory(history)), "expected");
    }

    // Lengths count as the text classes count them: a character outside the basic plane is two.
    void unsent()
    {
        QCOMPARE(unsentCount(QStringLiteral("𠀀𠀁春"), QStringLiteral("𠀀")), 3);
        QCOMPARE(unsentCount(QStringLiteral("春"), QStringLiteral("春眠不")), 0);
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "test_results.moc"
