// The sending side: segments and their post, figures, preview, listings, progress texts in their
// folder, curve points and placement (its server texts are the database test's); the sending cycle's
// branches through a recording main window, and the sending window's own handlers, offscreen.
#include "app/core/app.h"
#include "app/core/progressstore.h"
#include "sending/core/curvedata.h"
#include "sending/core/segmentcycle.h"
#include "sending/core/sourcetexts.h"
#include "sending/form.h"
#include "sending/fwstate.h"
#include "sending/sendingcycle.h"
#include "testsupport.h"
#include "typing/core/capture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>

using namespace ts;

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

// The main window's side of a sending cycle, recorded: every passage laid and every post.
struct RecordingHost
{
    QStringList laid;
    int posts = 0;
    bool freeTyping = false;
    std::function<void()> duringPost; // what comes in while a post waits

    SendingHost host()
    {
        SendingHost h;
        h.layPassage = [this](const QString&, const QString&, const QString& text) { laid << text; };
        h.passage = [this] { return laid.last(); };
        h.post = [this](const QString&) {
            ++posts;
            if (const auto during = std::exchange(duringPost, nullptr))
                during();
        };
        h.freeTyping = [this] { return freeTyping; };
        h.maximised = [] { return false; };
        h.focusTypingPane = [] {};
        h.titleMessage = [](const QString&, int) {};
        return h;
    }
    // Passages laid and posts made so far.
    QString counts() const { return QStringLiteral("%1/%2").arg(laid.size()).arg(posts); }
};

template <class T> T* child(QWidget* parent, const char* name)
{
    return parent->findChild<T*>(QString::fromLatin1(name));
}

void choose(Form& form, const QString& entry)
{
    auto* list = child<QListWidget>(&form, "listSource");
    QListWidgetItem* item = list->findItems(entry, Qt::MatchExactly).value(0);
    QVERIFY2(item, qPrintable(entry));
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// Picks an item of a three-item combo box with one key, as a user does; the box reports it activated.
void chooseItem(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    QVERIFY(box->count() == 3 && index >= 0 && index != box->currentIndex());
    QTest::keyClick(box, index == 0                    ? Qt::Key_Home
                         : index == 2                  ? Qt::Key_End
                         : index < box->currentIndex() ? Qt::Key_Up
                                                       : Qt::Key_Down);
    QCOMPARE(box->currentText(), text);
}

} // namespace

class TestSending : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { App::initResources(); }
    void init() { resetWindowGlobals(); }

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
        const QVector<ListedText> articles = listTextFiles(dir.file(QStringLiteral("文章")), TextNames::WithoutTxt);
        QCOMPARE(listedNames(articles), QStringList({"A", "b", "C.TXT", "x"}));
        QCOMPARE(articles.at(2).fileName, QStringLiteral("C.TXT"));
        QCOMPARE(articles.at(3).fileName, QStringLiteral("x.txt.txt"));
        QVERIFY(listTextFiles(dir.file(QStringLiteral("无此目录")), TextNames::WithoutTxt).isEmpty());
    }

    void progressSavedAndReloaded()
    {
        TestDir dir;
        const ProgressStore store(dir.path());
        QString saved, error;
        // The folder is made on the first save; the saved file is listed under the name it was saved as.
        QVERIFY(store.saveText(QStringLiteral("../上/级"), QStringLiteral("x"), &saved, &error));
        QCOMPARE(listedNames(listTextFiles(store.folder(), TextNames::Exact)), QStringList({saved}));
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

    // The cycle's ways forward on a text of 250 characters, each branch by its effect: passages laid
    // and posts made after the start and after each step.
    void cycleBranches_data()
    {
        QTest::addColumn<bool>("solo");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("freeTyping");
        QTest::addColumn<int>("segLength");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("counts");
        const QString afterRun = QStringLiteral("跟打结束自动发文");
        QTest::addRow("after a run") << false << afterRun << false << 100
                                     << QStringList{"run", "unfinished run", "command", "tick"}
                                     << QStringList{"1/1", "2/2", "2/2", "3/3", "4/4"};
        QTest::addRow("no automatic sending") << false << QStringLiteral("不处理") << false << 100
                                              << QStringList{"run", "command"} << QStringList{"1/1", "1/1", "2/2"};
        QTest::addRow("solo practice posts nothing")
            << true << afterRun << false << 100 << QStringList{"run", "command", "tick"}
            << QStringList{"1/0", "1/0", "2/0", "3/0"};
        QTest::addRow("sent whole") << false << afterRun << false << 250 << QStringList{"run", "command", "tick"}
                                    << QStringList{"1/1", "1/1", "1/1", "1/1"};
        QTest::addRow("free typing") << false << afterRun << true << 100 << QStringList{"run", "command", "tick"}
                                     << QStringList{"1/1", "1/1", "1/1", "1/1"};
        // The panel's stop: only the command goes on, laying and posting the same segment again.
        QTest::addRow("held by the panel")
            << false << afterRun << false << 100 << QStringList{"panel stop", "run", "tick", "command"}
            << QStringList{"1/1", "1/1", "1/1", "1/1", "2/2"};
        QTest::addRow("tick during a post")
            << false << QStringLiteral("周期发文") << false << 100
            << QStringList{"command with a tick in its post", "tick"} << QStringList{"1/1", "2/2", "3/3"};
    }
    void cycleBranches()
    {
        QFETCH(bool, solo);
        QFETCH(QString, mode);
        QFETCH(bool, freeTyping);
        QFETCH(int, segLength);
        QFETCH(QStringList, steps);
        TestDir dir;
        App::Dl = solo;
        App::Fw = mode;
        RecordingHost window;
        window.freeTyping = freeTyping;
        SendingCycle cycle(window.host());
        cycle.setDataFolder(dir.path());
        const QString text = digits(250);
        cycle.start(segLength, QStringLiteral("测试文"), text, firstSegment(text, segLength), QString());
        QStringList counts{window.counts()};
        for (const QString& step : steps) {
            if (step == "run" || step == "unfinished run")
                cycle.advanceAfterRun(step == "run");
            else if (step == "tick")
                cycle.advance(SendingCycle::Trigger::Period);
            else if (step == "panel stop")
                QTest::mouseClick(child<QWidget>(cycle.panel(), "button"), Qt::LeftButton);
            else if (step == "command with a tick in its post")
                window.duringPost = [&cycle] { cycle.advance(SendingCycle::Trigger::Period); };
            if (step.startsWith("command"))
                cycle.advance();
            counts << window.counts();
        }
        QTEST(counts, "counts");
        if (steps.contains("panel stop")) // the held segment once more
            QCOMPARE(window.laid.last(), window.laid.at(window.laid.size() - 2));
    }

    // The period timer: armed in the period mode unless practising solo, at least a second.
    void periodTimer_data()
    {
        QTest::addColumn<bool>("solo");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("interval"); // ms; 0: not running
        QTest::addRow("every 30 s") << false << QStringLiteral("周期发文") << 30 << 30000;
        QTest::addRow("0 s is a second") << false << QStringLiteral("周期发文") << 0 << 1000;
        QTest::addRow("solo practice") << true << QStringLiteral("周期发文") << 30 << 0;
        QTest::addRow("after a run") << false << QStringLiteral("跟打结束自动发文") << 30 << 0;
    }
    void periodTimer()
    {
        QFETCH(bool, solo);
        QFETCH(QString, mode);
        QFETCH(int, seconds);
        QFETCH(int, interval);
        TestDir dir;
        App::Dl = solo;
        App::Fw = mode;
        App::Fwtime = seconds;
        RecordingHost window;
        SendingCycle cycle(window.host());
        cycle.setDataFolder(dir.path());
        cycle.start(100, QStringLiteral("测试文"), digits(250), digits(100), QString());
        auto* timer = cycle.findChild<QTimer*>(QStringLiteral("periodicTimer"));
        QVERIFY(timer);
        QCOMPARE(timer->isActive() ? timer->interval() : 0, interval);
        if (interval == 1000) // and its tick is the next segment
            QTRY_COMPARE(window.counts(), QStringLiteral("2/2"));
    }

    // The settings of the automatic sending and their two warnings, which never refuse a setting.
    void autoSendingSettings_data()
    {
        QTest::addColumn<bool>("solo");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("nextSegment");
        QTest::addColumn<QString>("choice"); // a send mode, or "check" for the automatic next segment
        QTest::addColumn<QString>("warning");
        const QString afterRun = QStringLiteral("跟打结束自动发文");
        const QString period = QStringLiteral("周期发文");
        const QString none = QStringLiteral("不处理");
        QTest::addRow("after a run, next segment on")
            << false << none << true << afterRun << QStringLiteral("和下方自动换段功能重复，请选择不处理。");
        QTest::addRow("period, next segment on") << false << none << true << period << QString();
        QTest::addRow("none, from period") << false << period << false << none << QString();
        QTest::addRow("next segment, after a run") << false << afterRun << false << "check"
                                                   << QStringLiteral("和上方跟打结束自动发文功能重复，请选择不处理。");
        QTest::addRow("next segment, solo practice") << true << afterRun << false << "check" << QString();
        QTest::addRow("next segment, period") << false << period << false << "check" << QString();
    }
    void autoSendingSettings()
    {
        QFETCH(bool, solo);
        QFETCH(QString, mode);
        QFETCH(bool, nextSegment);
        QFETCH(QString, choice);
        TestDir dir;
        App::Dl = solo;
        App::Fw = mode;
        App::Zdhd = nextSegment;
        Form form(nullptr, dir.path());
        form.show();
        BoxAnswerer box(true);
        if (choice == "check")
            QTest::mouseClick(child<QCheckBox>(&form, "ckZdhd"), Qt::LeftButton);
        else
            chooseItem(child<QComboBox>(&form, "comboFw"), choice);
        QTEST(box.text, "warning");
        const bool checked = choice == "check" || nextSegment;
        QCOMPARE(child<QCheckBox>(&form, "ckZdhd")->isChecked(), checked);
        QCOMPARE((QVariantList{App::Fw, App::Zdhd}), (QVariantList{choice == "check" ? mode : choice, checked}));
        QCOMPARE((QVariantList{configFileValue("Fw"), configFileValue("Zdhd").toBool()}),
                 (QVariantList{App::Fw, checked}));
        // The seconds of the period mode show with it.
        const bool periodShown = App::Fw == QStringLiteral("周期发文");
        QCOMPARE(child<QWidget>(&form, "spinFwtime")->isVisible(), periodShown);
        QCOMPARE(child<QWidget>(&form, "labFwtime")->isVisible(), periodShown);
    }

    // Stored values the controls cannot show: the seconds stay as stored until changed; the
    // threshold is stored back as shown, with two decimals.
    void storedValuesShown()
    {
        TestDir dir;
        App::Dl = false;
        App::Fw = QStringLiteral("周期发文");
        App::Fwtime = 150;
        App::Zdhd3 = 10.126;
        Form form(nullptr, dir.path());
        form.show();
        QCOMPARE(child<QSpinBox>(&form, "spinFwtime")->value(), 99);
        QCOMPARE(child<QDoubleSpinBox>(&form, "spinZdhd")->text(), QStringLiteral("10.13"));
        QCOMPARE(App::Zdhd3, 10.13);
        QCOMPARE((QVariantList{configFileValue("Fwtime"), configFileValue("Zdhd3")}), (QVariantList{"150", "10.13"}));
        QTest::keyClick(child<QSpinBox>(&form, "spinFwtime"), Qt::Key_Down);
        QCOMPARE(App::Fwtime, 98);
    }

    // Which previews the user may edit and which are cut: a long progress text or article is shown
    // cut and read-only, the clipboard and the collections whole and editable.
    void previewByEntry_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("editable");
        QTest::addRow("clipboard") << QStringLiteral("剪切板") << true;
        QTest::addRow("wrong characters") << QStringLiteral("错字收集") << true;
        QTest::addRow("slow characters") << QStringLiteral("慢字收集") << true;
        QTest::addRow("progress text") << QStringLiteral("跟打进度") << false;
        QTest::addRow("article") << QStringLiteral("长文") << false;
    }
    void previewByEntry()
    {
        QFETCH(QString, entry);
        QFETCH(bool, editable);
        TestDir dir;
        const QString text = digits(6000);
        QApplication::clipboard()->setText(text);
        QVERIFY(App::writeFile(QStringLiteral("错字收集.txt"), text) &&
                App::writeFile(QStringLiteral("慢字收集.txt"), text));
        QVERIFY(QDir().mkpath(QStringLiteral("文章")) && App::writeFile(QStringLiteral("文章/长文.txt"), text));
        QString saved;
        QString error;
        QVERIFY(ProgressStore(dir.path()).saveText(QStringLiteral("长进度"), text, &saved, &error));
        App::Zdname = saved;
        Form form(nullptr, dir.path());
        form.show();
        choose(form, QStringLiteral("---以上为本地文本---"));
        choose(form, entry);
        auto* preview = child<QPlainTextEdit>(&form, "txtPreview");
        QCOMPARE(preview->isReadOnly(), !editable);
        QCOMPARE(preview->toPlainText(), editable ? text : digits(3000) + QStringLiteral("[......未完]"));
        QCOMPARE(child<QLabel>(&form, "labCount")->text(), QStringLiteral("总字数: 6000"));
    }

    // A progress text shows how far it went and is handed over under its own name, whole.
    void progressTextHandedOver()
    {
        TestDir dir;
        const ProgressStore store(dir.path());
        QString saved;
        QString error;
        QVERIFY(store.saveText(QStringLiteral("进度文"), digits(150), &saved, &error));
        QVERIFY(store.writeTotal(saved, 250));
        App::Zdname = saved;
        Form form(nullptr, dir.path());
        form.show();
        choose(form, QStringLiteral("跟打进度"));
        QCOMPARE(child<QLabel>(&form, "labProgress")->text(), QStringLiteral("跟打进度:40.00%"));
        QVERIFY(child<QWidget>(&form, "labProgress")->isVisible() && !child<QWidget>(&form, "ckZdhd")->isVisible());
        QCOMPARE(child<QComboBox>(&form, "comboProgress")->currentText(), saved);
        QSignalSpy handed(&form, &Form::infoSend);
        QTest::mouseClick(child<QWidget>(&form, "btnSend"), Qt::LeftButton);
        QCOMPARE(handed.count(), 1);
        QCOMPARE(handed.first().mid(0, 4), QVariantList({100, saved, digits(150), digits(100)}));
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

QTEST_MAIN(TestSending)
#include "test_sending.moc"
