// Keeping windows on the screen and beside each other, with plain rectangles: the main window's side
// windows, the input panel by the typing pane, the screen a window belongs to.
#include <QtTest>

#include "app/core/screenplace.h"

using ScreenPlace::Side;
using ScreenPlace::SideWindow;

class TestScreenPlace : public QObject
{
    Q_OBJECT

private slots:
    void sideWindowPlaces_data()
    {
        QTest::addColumn<QRect>("area");    // the screen's available area
        QTest::addColumn<QRect>("saved");   // the main window's saved place and size
        QTest::addColumn<bool>("together"); // the curve opened while the panel shows
        QTest::addColumn<QPoint>("main");   // where it opens
        QTest::addColumn<QRect>("panel");   // the sending-state panel, 294 x 475, on the left by rule
        QTest::addColumn<QRect>("curve");   // the speed curve, as large as the main window, on the right
        const QRect small(0, 0, 1024, 768);
        const QRect large(0, 0, 1280, 1024);
        const QRect wide(0, 0, 1920, 1080);
        // Alone, each stands beside the main window, on its own side where it has room, else on the
        // other where that has room, else narrowed to the room on the side with more, else below.
        QTest::addRow("first start on 1280") << large << QRect(0, 0, 650, 475) << false << QPoint(0, 0)
                                             << QRect(650, 0, 294, 475) << QRect(650, 0, 630, 475);
        QTest::addRow("right half of 1280") << large << QRect(660, 100, 600, 475) << false << QPoint(660, 100)
                                            << QRect(366, 100, 294, 475) << QRect(60, 100, 600, 475);
        QTest::addRow("at the right edge of 1280") << large << QRect(630, 0, 650, 475) << false << QPoint(630, 0)
                                                   << QRect(336, 0, 294, 475) << QRect(0, 0, 630, 475);
        QTest::addRow("under a top panel") << QRect(0, 30, 1280, 994) << QRect(100, 0, 650, 475) << false
                                           << QPoint(100, 30) << QRect(750, 30, 294, 475) << QRect(750, 30, 530, 475);
        QTest::addRow("centred on 1280, no room beside") << large << QRect(315, 0, 650, 475) << false << QPoint(315, 0)
                                                         << QRect(21, 0, 294, 475) << QRect(315, 475, 650, 475);
        // Together: the curve off the main window and the panel where the screen has room.
        QTest::addRow("first start on 1280, both") << large << QRect(0, 0, 650, 475) << true << QPoint(0, 0)
                                                   << QRect(650, 0, 294, 475) << QRect(0, 475, 650, 475);
        QTest::addRow("first start on 1920, both") << wide << QRect(0, 0, 650, 475) << true << QPoint(0, 0)
                                                   << QRect(650, 0, 294, 475) << QRect(944, 0, 650, 475);
        QTest::addRow("at the right edge of 1920, both") << wide << QRect(1270, 0, 650, 475) << true << QPoint(1270, 0)
                                                         << QRect(976, 0, 294, 475) << QRect(326, 0, 650, 475);
        QTest::addRow("at the right edge of 1280, both") << large << QRect(630, 0, 650, 475) << true << QPoint(630, 0)
                                                         << QRect(336, 0, 294, 475) << QRect(630, 475, 650, 475);
        QTest::addRow("under a top panel, both")
            << QRect(0, 30, 1280, 994) << QRect(100, 0, 650, 475) << true << QPoint(100, 30) << QRect(750, 30, 294, 475)
            << QRect(100, 505, 650, 475);
        // No room for its own size beside them: the curve takes the room beside the panel, or the rows
        // free below or above the main window, down to its least size, before it covers anything.
        QTest::addRow("first start on 1024") << small << QRect(0, 0, 650, 475) << false << QPoint(0, 0)
                                             << QRect(650, 0, 294, 475) << QRect(0, 475, 650, 293);
        QTest::addRow("first start on 1024, both") << small << QRect(0, 0, 650, 475) << true << QPoint(0, 0)
                                                   << QRect(650, 0, 294, 475) << QRect(0, 475, 650, 293);
        QTest::addRow("first start on 1366, both")
            << QRect(0, 0, 1366, 768) << QRect(0, 0, 650, 475) << true << QPoint(0, 0) << QRect(650, 0, 294, 475)
            << QRect(0, 475, 650, 293);
        QTest::addRow("first start on 1440, both, beside the panel")
            << QRect(0, 0, 1440, 900) << QRect(0, 0, 650, 475) << true << QPoint(0, 0) << QRect(650, 0, 294, 475)
            << QRect(944, 0, 496, 475);
        QTest::addRow("1000 x 700 on 1280") << large << QRect(0, 0, 1000, 700) << false << QPoint(0, 0)
                                            << QRect(986, 54, 294, 475) << QRect(0, 700, 1000, 324);
        QTest::addRow("800 x 600 on 1280, both") << large << QRect(0, 0, 800, 600) << true << QPoint(0, 0)
                                                 << QRect(800, 0, 294, 475) << QRect(0, 600, 800, 424);
        QTest::addRow("right half of 1280, both") << large << QRect(660, 100, 600, 475) << true << QPoint(660, 100)
                                                  << QRect(366, 100, 294, 475) << QRect(660, 575, 600, 449);
        QTest::addRow("at (100,200) on 1280, both") << large << QRect(100, 200, 650, 475) << true << QPoint(100, 200)
                                                    << QRect(750, 200, 294, 475) << QRect(100, 675, 650, 349);
        QTest::addRow("saved near the corner on 1280, opened on 1024")
            << small << QRect(1100, 800, 650, 475) << false << QPoint(374, 293) << QRect(80, 293, 294, 475)
            << QRect(374, 0, 650, 293);
        // No room off the main window: over it, never over its bars (54 rows), lowered and shortened,
        // off the panel, over as little of the main window as the sides and below leave.
        QTest::addRow("centred on 1024, equal room") << small << QRect(187, 100, 650, 475) << true << QPoint(187, 100)
                                                     << QRect(0, 154, 294, 475) << QRect(534, 154, 490, 475);
        QTest::addRow("more room on the other side, not enough")
            << small << QRect(200, 100, 674, 475) << false << QPoint(200, 100) << QRect(0, 154, 294, 475)
            << QRect(200, 525, 674, 243);
        QTest::addRow("more room on the other side, both")
            << small << QRect(200, 100, 674, 475) << true << QPoint(200, 100) << QRect(0, 154, 294, 475)
            << QRect(534, 154, 490, 475);
        // Lowered below the bars the panel would leave the screen: it is shortened to the rows below
        // them instead, never narrowed (its close button stays on the screen).
        QTest::addRow("no room below the bars")
            << QRect(0, 0, 800, 600) << QRect(150, 100, 650, 475) << false << QPoint(150, 100)
            << QRect(0, 154, 294, 446) << QRect(150, 357, 650, 243);
        // Too few rows free below and above for its least height: it stands below at that height,
        // over the main window's last rows only.
        QTest::addRow("800 x 600 at (100,200) on 1280, both")
            << large << QRect(100, 200, 800, 600) << true << QPoint(100, 200) << QRect(900, 200, 294, 475)
            << QRect(100, 781, 800, 243);
        QTest::addRow("at (100,293) on 1024, both") << small << QRect(100, 293, 650, 475) << true << QPoint(100, 293)
                                                    << QRect(730, 347, 294, 421) << QRect(100, 0, 650, 293);
    }

    // The main window opens whole on the screen; the side windows stand around it, the curve against
    // the main window and the panel.
    void sideWindowPlaces()
    {
        QFETCH(QRect, area);
        QFETCH(QRect, saved);
        QFETCH(bool, together);
        const int bars = 54; // title bar and menu bar
        const QRect opened = ScreenPlace::keptInside(saved, area);
        QTEST(opened.topLeft(), "main");
        const SideWindow panel{QSize(294, 475), Side::Left, QSize(294, 475)};
        // Its least size: what its axes and check boxes need.
        const SideWindow curve{opened.size(), Side::Right, QSize(490, 243)};
        const QVector<QRect> alone = ScreenPlace::besideMain(opened, bars, {panel}, area);
        QTEST(alone.value(0), "panel");
        const QVector<SideWindow> windows = together ? QVector<SideWindow>{panel, curve} : QVector<SideWindow>{curve};
        const QVector<QRect> places = ScreenPlace::besideMain(opened, bars, windows, area);
        QCOMPARE(places.size(), windows.size());
        QTEST(places.last(), "curve");
        if (together)
            QCOMPARE(places.first(), alone.value(0));
        // Whole on the screen, its title bar and close button included, and never narrower than it
        // has to be.
        for (int i = 0; i < places.size(); ++i)
            QVERIFY(area.contains(places.at(i)) && places.at(i).width() >= windows.at(i).least.width());
        QVERIFY(area.contains(alone.value(0)) && alone.value(0).width() >= panel.least.width());
    }

    // The input panel under the typing pane; where it has no room there, off the main window, and
    // only where that has none either, over the typing pane rather than the passage.
    void panelUnderPane_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QRect>("passage");
        QTest::addColumn<QRect>("pane");
        QTest::addColumn<QPoint>("panel"); // 610 x 210
        const QRect small(0, 0, 1024, 768);
        const QRect large(0, 0, 1280, 1024);
        QTest::addRow("room below") << small << QRect(0, 100, 650, 475) << QRect(0, 150, 650, 143)
                                    << QRect(0, 295, 650, 70) << QPoint(0, 366);
        QTest::addRow("room below to the last row")
            << small << QRect(0, 180, 650, 475) << QRect(0, 230, 650, 255) << QRect(0, 487, 650, 70) << QPoint(0, 558);
        QTest::addRow("none below, above the main window")
            << small << QRect(374, 293, 650, 475) << QRect(374, 380, 650, 206) << QRect(374, 588, 650, 70)
            << QPoint(374, 82);
        QTest::addRow("main window at (100,293) on 1024")
            << small << QRect(100, 293, 650, 475) << QRect(101, 380, 648, 200) << QRect(101, 582, 648, 70)
            << QPoint(101, 82);
        QTest::addRow("above the main window to the first row")
            << small << QRect(0, 211, 650, 557) << QRect(1, 300, 648, 300) << QRect(1, 602, 648, 100) << QPoint(1, 0);
        QTest::addRow("to the right of the main window") << large << QRect(0, 150, 650, 874) << QRect(1, 200, 648, 500)
                                                         << QRect(1, 702, 648, 150) << QPoint(651, 702);
        QTest::addRow("to the left of the main window")
            << large << QRect(630, 150, 650, 874) << QRect(631, 200, 648, 500) << QRect(631, 702, 648, 150)
            << QPoint(19, 702);
        QTest::addRow("none either way: over the pane") << small << QRect(400, 0, 624, 768) << QRect(401, 40, 622, 150)
                                                        << QRect(500, 200, 600, 500) << QPoint(414, 191);
        QTest::addRow("none, pane near the bottom") << small << QRect(200, 0, 824, 768) << QRect(201, 60, 822, 600)
                                                    << QRect(201, 662, 822, 100) << QPoint(201, 558);
    }
    void panelUnderPane()
    {
        QFETCH(QRect, area);
        QFETCH(QRect, main);
        QFETCH(QRect, passage);
        QFETCH(QRect, pane);
        QTEST(ScreenPlace::under(pane, QSize(610, 210), area, main, passage).topLeft(), "panel");
    }

    void nearestScreen()
    {
        const QVector<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1024, 768)};
        QCOMPARE(ScreenPlace::nearest(QRect(800, 100, 650, 475), screens), 0);  // most of it on the first
        QCOMPARE(ScreenPlace::nearest(QRect(1600, 900, 650, 475), screens), 1); // below the second
        QCOMPARE(ScreenPlace::nearest(QRect(0, 0, 10, 10), {}), -1);
    }
};

QTEST_GUILESS_MAIN(TestScreenPlace)
#include "test_screenplace.moc"
