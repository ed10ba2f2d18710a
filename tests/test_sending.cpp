// The sending side without widgets: segments and their post, figures, preview, listings, progress
// texts in their folder, curve points and placement (its server texts are the database test's).
#include "app/core/app.h"
#include "app/core/progressstore.h"
#include "sending/core/curvedata.h"
#include "sending/core/segmentcycle.h"
#include "sending/core/sourcetexts.h"
#include "testsupport.h"
#include "typing/core/capture.h"

namespace {

QString digits(int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += QChar(u'一' + i % 500);
    return text;
}

FawenInfo info(const QString& text, int segLength)
{
    return {segLength, QStringLiteral("测试文"), text, firstSegment(text, segLength), QString()};
}

} // namespace

class TestSending : public QObject
{
    Q_OBJECT

private slots:
    void segments_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("segLength");
        // After the start and each advance: segment number, position, segment length, characters left.
        QTest::addColumn<QList<QList<int>>>("steps");
        QTest::addRow("250/100 wraps to 150 left")
            << 250 << 100 << QList<QList<int>>{{1, 0, 100, 150}, {2, 100, 100, 50}, {3, 200, 50, 0}, {1, 0, 100, 150}};
        QTest::addRow("200/100 no empty segment")
            << 200 << 100 << QList<QList<int>>{{1, 0, 100, 100}, {2, 100, 100, 0}, {1, 0, 100, 100}};
        QTest::addRow("length over the text") << 80 << 100 << QList<QList<int>>{{1, 0, 80, 0}, {1, 0, 80, 0}};
        QTest::addRow("length 0 is the whole text") << 80 << 0 << QList<QList<int>>{{1, 0, 80, 0}, {1, 0, 80, 0}};
    }
    void segments()
    {
        QFETCH(int, length);
        QFETCH(int, segLength);
        QFETCH(QList<QList<int>>, steps);
        const QString text = digits(length);
        const QString title = QStringLiteral("春晓 it's 100%1"); // a placeholder in a title stays as written
        SegmentCycle cycle;
        cycle.start(info(text, segLength));
        for (int i = 0; i < steps.size(); ++i) {
            if (i > 0)
                cycle.advance();
            const QList<int>& s = steps.at(i);
            QCOMPARE((QList<int>{cycle.segmentNumber(), cycle.position(), s.at(2), cycle.restCount()}), s);
            // The post of the segment, its header and count from the cycle.
            QCOMPARE(buildFawenPost(title, cycle.currentPart(), cycle.header(), cycle.restCount()),
                     title + '\n' + text.mid(s.at(1), s.at(2)) +
                         QStringLiteral("\n-----第%1段-余%2字").arg(s.at(0)).arg(s.at(3)));
        }
        QCOMPARE(cycle.isWhole(), segLength == 0 || segLength >= length);
    }

    void heldAndStoppedCycleKeepsItsSegment()
    {
        SegmentCycle cycle;
        cycle.start(info(digits(250), 100));
        cycle.advance();
        cycle.advance();
        cycle.holdSegments();
        QVERIFY(!cycle.advance());
        QCOMPARE(cycle.segmentNumber(), 3);
        QCOMPARE(cycle.remainder(), digits(250).mid(200)); // what was really sent, not the whole text
    }

    void figures()
    {
        const SendingFigures f = sendingFigures(digits(500), digits(100));
        QCOMPARE(QList<int>({f.sent, f.total, f.left}), QList<int>({100, 500, 400}));
        QCOMPARE(f.percent, QStringLiteral("20.00"));
        QCOMPARE(sendingFigures(QString(), QString()).percent, QStringLiteral("0.00"));
        QCOMPARE(progressFigure(1000, 250), QStringLiteral("75.00"));
        QCOMPARE(progressFigure(0, 250), QStringLiteral("0.00"));
    }

    void previewAndPreparation()
    {
        QCOMPARE(previewText(digits(5000), false), digits(5000));
        QCOMPARE(previewText(digits(5001), false), digits(3000) + QStringLiteral("[......未完]"));
        QCOMPARE(previewText(digits(8000), true), digits(8000));
        QCOMPARE(prepareForSending(QStringLiteral("a b\tc\nd"), {true, false}), QStringLiteral("abcd"));
        QCOMPARE(prepareForSending(QStringLiteral(" \n "), {false, false}), QStringLiteral(" \n "));
    }

    void listingsOpenTheirOwnFiles()
    {
        TestDir dir;
        QDir().mkpath(QStringLiteral("文章"));
        for (const char* name : {"b.txt", "A.txt", "x.txt.txt", "C.TXT", "d.dat"})
            QVERIFY(App::writeFile(QStringLiteral("文章/") + QString::fromUtf8(name), QString::fromUtf8(name)));
        const QVector<ListedText> articles = listTexts(dir.file(QStringLiteral("文章")));
        QCOMPARE(listedNames(articles), QStringList({"A", "b", "C.TXT", "x"}));
        QCOMPARE(articles.at(2).fileName, QStringLiteral("C.TXT"));
        QCOMPARE(articles.at(3).fileName, QStringLiteral("x.txt.txt"));
        QVERIFY(listTexts(dir.file(QStringLiteral("无此目录"))).isEmpty());
    }

    void progressSavedAndReloaded()
    {
        TestDir dir;
        const ProgressStore store(dir.path());
        QString saved, error;
        // The folder is made on the first save; the saved file is listed under the name it was saved as.
        QVERIFY(store.saveText(QStringLiteral("../上/级"), QStringLiteral("x"), &saved, &error));
        QCOMPARE(listedNames(listTexts(store.folder(), true)), QStringList({saved}));
        // The first read records the whole text; it stays while the rest is saved over it.
        QVERIFY(store.saveText(QStringLiteral("测试文"), digits(250), &saved, &error));
        QCOMPARE(store.readTotal(saved, 250), 250);
        QVERIFY(store.saveText(QStringLiteral("测试文"), digits(50), &saved, &error));
        bool ok = false;
        QCOMPARE(store.readText(saved, &ok), digits(50));
        QVERIFY(ok);
        QCOMPARE(store.readTotal(saved, 50), 250);
        // A folder that cannot be made is a failure with a reason.
        QVERIFY(App::writeFile(dir.file(QStringLiteral("blocked")), QStringLiteral("x")));
        QVERIFY(!ProgressStore(dir.file(QStringLiteral("blocked"))).saveText(QStringLiteral("t"), "x", &saved, &error));
        QVERIFY(!error.isEmpty());
    }

    void curvePointsAndPlacement()
    {
        const CurvePoints p = curvePoints(QStringLiteral("320 305 abc  "));
        QCOMPARE(p.count(), 3); // the empty items after the last sample give no points
        QCOMPARE(p.y, QVector<double>({320, 305, 0}));
        QCOMPARE(p.x, QVector<double>({0, 1, 2}));
        QCOMPARE(curvePoints(QString()).count(), 0);
        const QRect screen(0, 0, 1280, 1000);
        QCOMPARE(placeInside(QPoint(-200, 10), QSize(294, 475), screen), QPoint(0, 10));
        QCOMPARE(placeInside(QPoint(1200, 900), QSize(294, 475), screen), QPoint(986, 525));
        QCOMPARE(placeInside(QPoint(100, 100), QSize(294, 475), screen), QPoint(100, 100));
    }
};

QTEST_GUILESS_MAIN(TestSending)
#include "test_sending.moc"
