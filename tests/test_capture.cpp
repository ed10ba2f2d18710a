#include "typing/core/capture.h"

#include <QtTest>

namespace {

// "title|passage|header|number|rest" for a found post, with "|contest" for the contest segment;
// "none|header|number|rest" when no post was found (the header is still reported).
QString describe(const CapturedSegment& s)
{
    const QString tail = QStringLiteral("%1|%2|%3").arg(s.segmentHeader).arg(s.segmentNumber).arg(s.restCount);
    if (!s.found)
        return s.passage.isEmpty() ? QStringLiteral("none|") + tail : QStringLiteral("passage without post");
    return s.title + '|' + s.passage + '|' + tail + (s.contest ? QStringLiteral("|contest") : QString());
}

} // namespace

// The reader of copied chat histories and the segment post it reads.
class TestCapture : public QObject
{
    Q_OBJECT

private slots:
    void parseHistory_data()
    {
        QTest::addColumn<QString>("history");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::addRow("single post") << "春晓\n春眠不觉晓\n-----第1段-余400字" << "春晓|春眠不觉晓|第1段|1|400";
        QTest::addRow("sender lines, newest wins")
            << "张三 12:00:01\n春晓\n春眠不觉晓\n-----第3段-余20字\n李四 12:01:30\n夜雨\n处处闻啼鸟\n-----第4段-余15字\n"
            << "夜雨|处处闻啼鸟|第4段|4|15";
        QTest::addRow("marker at the very start") << "-----第1段-余0字\n后面的聊天" << "none||0|-1";
        QTest::addRow("marker at the start, post later") << "-----第1段-余9字\n标题\n正文\n-----第2段-余3字" << "标题|正文|第2段|2|3";
        QTest::addRow("full-width digits")
            << "旧题\n旧文\n-----第7段-余1字\n标题\n正文\n-----第８段-余0字" << "旧题|旧文|第7段|7|1";
        QTest::addRow("six hyphens") << "标题\n正文\n------第3段-余3字" << "none||0|-1";
        QTest::addRow("four hyphens") << "标题\n正文\n----第3段-余3字" << "none||0|-1";
        QTest::addRow("no digits") << "标题\n正文\n-----第段-余3字" << "none||0|-1";
        QTest::addRow("blank before the header") << "标题\n正文\n----- 第3段" << "none||0|-1";
        // The newest marker decides even when its passage is empty: the older post is not fetched.
        QTest::addRow("empty passage") << "旧题\n旧文\n-----第1段-余9字\n标题\n\n-----第2段-余3字" << "none|第2段|2|3";
        QTest::addRow("marker alone after a line break") << "\n-----第2段" << "none|第2段|2|-1";
        QTest::addRow("empty title line") << "张三 12:00\n\n正文\n-----第1段-余0字" << "|正文|第1段|1|0";
        QTest::addRow("windows line ends") << "张三 12:00\r\n标题\r\n正文\r\n-----第5段-余9字\r\n" << "标题|正文|第5段|5|9";
        QTest::addRow("contest segment") << "比赛\n正文\n-----第999段-余0字" << "比赛|正文|第999段|999|0|contest";
        QTest::addRow("leading zeros are not the contest") << "比赛\n正文\n-----第0999段-余0字" << "比赛|正文|第0999段|999|0";
        QTest::addRow("rest count without its end") << "标题\n正文\n-----第8段-余12" << "标题|正文|第8段|8|-1";
        QTest::addRow("number too large") << "标题\n正文\n-----第99999999999段-余1字" << "标题|正文|第99999999999段|0|1";
        // The title is the line right before the passage, even when the passage also appears earlier.
        QTest::addRow("passage repeated earlier") << "正文\n闲聊\n标题\n正文\n-----第6段-余2字" << "标题|正文|第6段|6|2";
        QTest::addRow("blanks kept") << "标题\n 春 眠 \n-----第1段-余0字" << "标题| 春 眠 |第1段|1|0";
        QTest::addRow("empty history") << "" << "none||0|-1";
        // Half a surrogate pair anywhere does not hide the post; in the post it shows as U+FFFD.
        QTest::addRow("lone surrogates")
            << QString::fromUtf16(u"旧\xD800\n标题\n正文\xDC00𠀀\n-----第3段-余2字\n\xDBFF")
            << QString::fromUtf16(u"标题|正文\xFFFD𠀀|第3段|3|2");
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

QTEST_GUILESS_MAIN(TestCapture)
#include "test_capture.moc"
