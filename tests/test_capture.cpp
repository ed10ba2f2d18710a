#include "typing/capture.h"

#include <QtTest>

// The reader of copied chat histories and the segment post it reads.
class TestCapture : public QObject
{
    Q_OBJECT

private slots:
    void parseHistory_data();
    void parseHistory();
    void postFormat_data();
    void postFormat();
    void postRoundTrip_data();
    void postRoundTrip();
    void unsentCountOfTexts_data();
    void unsentCountOfTexts();
};

namespace {

CapturedSegment found(const QString& title, const QString& passage, const QString& header, int number, int rest,
                      bool contest = false)
{
    CapturedSegment segment;
    segment.found = true;
    segment.title = title;
    segment.passage = passage;
    segment.segmentHeader = header;
    segment.segmentNumber = number;
    segment.restCount = rest;
    segment.contest = contest;
    return segment;
}

// No post: the header is still reported when a marker was there but its passage line is empty.
CapturedSegment notFound(const QString& header = QString(), int number = 0, int rest = -1)
{
    CapturedSegment segment;
    segment.segmentHeader = header;
    segment.segmentNumber = number;
    segment.restCount = rest;
    return segment;
}

} // namespace

Q_DECLARE_METATYPE(CapturedSegment)

void TestCapture::parseHistory_data()
{
    QTest::addColumn<QString>("history");
    QTest::addColumn<CapturedSegment>("expected");

    QTest::addRow("single post") << QStringLiteral("春晓\n春眠不觉晓\n-----第1段-余400字")
                                 << found("春晓", "春眠不觉晓", "第1段", 1, 400);
    QTest::addRow("two posts with sender lines, newest wins")
        << QStringLiteral("张三 12:00:01\n春晓\n春眠不觉晓\n-----第3段-余20字\n"
                          "李四 12:01:30\n夜雨\n处处闻啼鸟\n-----第4段-余15字\n")
        << found("夜雨", "处处闻啼鸟", "第4段", 4, 15);
    QTest::addRow("chat after the newest post")
        << QStringLiteral("李四 12:01:30\n夜雨\n处处闻啼鸟\n-----第4段-余15字\n王五 12:02:00\n好的，开始")
        << found("夜雨", "处处闻啼鸟", "第4段", 4, 15);
    QTest::addRow("older post, then messages without marker")
        << QStringLiteral("夜雨\n处处闻啼鸟\n-----第2段-余5字\n闲聊\n没有标记的一行")
        << found("夜雨", "处处闻啼鸟", "第2段", 2, 5);
    QTest::addRow("marker at the very start") << QStringLiteral("-----第1段-余0字\n后面的聊天") << notFound();
    QTest::addRow("marker at the start, real post later")
        << QStringLiteral("-----第1段-余9字\n标题\n正文\n-----第2段-余3字") << found("标题", "正文", "第2段", 2, 3);
    QTest::addRow("full-width digits") << QStringLiteral("标题\n正文\n-----第１２段-余3字") << notFound();
    QTest::addRow("full-width digits after a valid post")
        << QStringLiteral("旧题\n旧文\n-----第7段-余1字\n标题\n正文\n-----第８段-余0字")
        << found("旧题", "旧文", "第7段", 7, 1);
    QTest::addRow("six hyphens") << QStringLiteral("标题\n正文\n------第3段-余3字") << notFound();
    QTest::addRow("four hyphens") << QStringLiteral("标题\n正文\n----第3段-余3字") << notFound();
    QTest::addRow("no digits") << QStringLiteral("标题\n正文\n-----第段-余3字") << notFound();
    QTest::addRow("blank before the header") << QStringLiteral("标题\n正文\n----- 第3段") << notFound();
    // The newest marker decides even when its passage is empty: the older post is not fetched.
    QTest::addRow("empty passage") << QStringLiteral("旧题\n旧文\n-----第1段-余9字\n标题\n\n-----第2段-余3字")
                                   << notFound("第2段", 2, 3);
    QTest::addRow("marker alone after a line break") << QStringLiteral("\n-----第2段") << notFound("第2段", 2);
    QTest::addRow("title missing") << QStringLiteral("正文\n-----第1段-余0字") << found("", "正文", "第1段", 1, 0);
    QTest::addRow("empty title line") << QStringLiteral("张三 12:00\n\n正文\n-----第1段-余0字")
                                      << found("", "正文", "第1段", 1, 0);
    QTest::addRow("windows line ends") << QStringLiteral("张三 12:00\r\n标题\r\n正文\r\n-----第5段-余9字\r\n")
                                       << found("标题", "正文", "第5段", 5, 9);
    QTest::addRow("contest segment") << QStringLiteral("比赛\n正文\n-----第999段-余0字")
                                     << found("比赛", "正文", "第999段", 999, 0, true);
    QTest::addRow("leading zeros are not the contest")
        << QStringLiteral("比赛\n正文\n-----第0999段-余0字") << found("比赛", "正文", "第0999段", 999, 0);
    QTest::addRow("without rest count") << QStringLiteral("标题\n正文\n-----第8段")
                                        << found("标题", "正文", "第8段", 8, -1);
    QTest::addRow("rest count without its end")
        << QStringLiteral("标题\n正文\n-----第8段-余12") << found("标题", "正文", "第8段", 8, -1);
    QTest::addRow("segment number too large")
        << QStringLiteral("标题\n正文\n-----第99999999999段-余1字") << found("标题", "正文", "第99999999999段", 0, 1);
    // The title is the line right before the passage, even when the passage also appears earlier.
    QTest::addRow("passage repeated earlier")
        << QStringLiteral("正文\n闲聊\n标题\n正文\n-----第6段-余2字") << found("标题", "正文", "第6段", 6, 2);
    QTest::addRow("title equal to passage")
        << QStringLiteral("正文\n正文\n-----第6段-余2字") << found("正文", "正文", "第6段", 6, 2);
    QTest::addRow("blanks kept") << QStringLiteral("标题\n 春 眠 \n-----第1段-余0字")
                                 << found("标题", " 春 眠 ", "第1段", 1, 0);
    QTest::addRow("empty history") << QString() << notFound();
}

void TestCapture::parseHistory()
{
    QFETCH(QString, history);
    QFETCH(CapturedSegment, expected);

    const CapturedSegment segment = parseCapturedHistory(history);
    QCOMPARE(segment.found, expected.found);
    QCOMPARE(segment.segmentHeader, expected.segmentHeader);
    QCOMPARE(segment.segmentNumber, expected.segmentNumber);
    QCOMPARE(segment.restCount, expected.restCount);
    QCOMPARE(segment.contest, expected.contest);
    if (expected.found) {
        QCOMPARE(segment.title, expected.title);
        QCOMPARE(segment.passage, expected.passage);
    } else {
        QVERIFY(segment.passage.isEmpty());
    }
}

void TestCapture::postFormat_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("passage");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("rest");
    QTest::addColumn<QString>("expected");

    QTest::addRow("first segment") << "春晓"
                                   << "春眠不觉晓" << 1 << 400
                                   << QStringLiteral("春晓\n春眠不觉晓\n-----第1段-余400字");
    QTest::addRow("last segment") << "夜雨"
                                  << "花落知多少" << 12 << 0 << QStringLiteral("夜雨\n花落知多少\n-----第12段-余0字");
    QTest::addRow("empty title") << ""
                                 << "正文" << 3 << 7 << QStringLiteral("\n正文\n-----第3段-余7字");
}

void TestCapture::postFormat()
{
    QFETCH(QString, title);
    QFETCH(QString, passage);
    QFETCH(int, number);
    QFETCH(int, rest);
    QFETCH(QString, expected);

    QCOMPARE(buildFawenPost(title, passage, segmentHeaderText(number), rest), expected);
}

void TestCapture::postRoundTrip_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("passage");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("fullLength");
    QTest::addColumn<int>("sentLength");
    QTest::addColumn<int>("rest");

    QTest::addRow("500 whole, 100 sent") << "春晓"
                                         << "春眠不觉晓，处处闻啼鸟。" << 1 << 500 << 100 << 400;
    QTest::addRow("all sent") << "夜雨"
                              << "花落知多少" << 25 << 120 << 120 << 0;
    QTest::addRow("contest") << "比赛"
                             << "夜来风雨声" << 999 << 10 << 5 << 5;
    QTest::addRow("latin title and blanks") << "Text 2"
                                            << "a b c 1 2 3" << 2 << 30 << 11 << 19;
    QTest::addRow("characters outside the basic plane") << "古字" << QStringLiteral("𠀀𠀁字") << 4 << 9 << 5 << 4;
}

void TestCapture::postRoundTrip()
{
    QFETCH(QString, title);
    QFETCH(QString, passage);
    QFETCH(int, number);
    QFETCH(int, fullLength);
    QFETCH(int, sentLength);
    QFETCH(int, rest);

    const QString fullText(fullLength, QChar(0x6587));
    const QString sentText(sentLength, QChar(0x6587));
    const QString post = buildFawenPost(title, passage, segmentHeaderText(number), unsentCount(fullText, sentText));
    QVERIFY(post.endsWith(QStringLiteral("-----第%1段-余%2字").arg(number).arg(rest)));

    // As the chat shows it: a sender line before, other messages after, Windows line ends.
    const QString copied = QStringLiteral("旧题\n旧文\n-----第1段-余999字\n") + QStringLiteral("张三 21:05:33\n") +
                           post + QStringLiteral("\n李四 21:05:40\n收到");
    for (const QString& history : {post, copied, QString(copied).replace('\n', QStringLiteral("\r\n"))}) {
        const CapturedSegment segment = parseCapturedHistory(history);
        QVERIFY(segment.found);
        QCOMPARE(segment.title, title);
        QCOMPARE(segment.passage, passage);
        QCOMPARE(segment.segmentHeader, segmentHeaderText(number));
        QCOMPARE(segment.segmentNumber, number);
        QCOMPARE(segment.restCount, rest);
        QCOMPARE(segment.contest, number == 999);
    }
}

void TestCapture::unsentCountOfTexts_data()
{
    QTest::addColumn<QString>("fullText");
    QTest::addColumn<QString>("sentText");
    QTest::addColumn<int>("expected");

    QTest::addRow("part sent") << QStringLiteral("春眠不觉晓处处闻") << QStringLiteral("春眠不") << 5;
    QTest::addRow("nothing sent") << QStringLiteral("春眠") << QString() << 2;
    QTest::addRow("sent longer than whole") << QStringLiteral("春") << QStringLiteral("春眠不") << 0;
    // Lengths are counted as the text classes count them: a character outside the basic plane is two.
    QTest::addRow("surrogate pairs") << QStringLiteral("𠀀𠀁") << QStringLiteral("𠀀") << 2;
}

void TestCapture::unsentCountOfTexts()
{
    QFETCH(QString, fullText);
    QFETCH(QString, sentText);
    QFETCH(int, expected);
    QCOMPARE(unsentCount(fullText, sentText), expected);
}

QTEST_GUILESS_MAIN(TestCapture)
#include "test_capture.moc"
