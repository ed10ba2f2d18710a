// The sending side: segments and their post, figures, preview, listings, progress texts, curve points
// (server texts: the database test's; the side windows' places: the placement test's); the sending
// cycle's branches and window, offscreen.
#include "app/core/app.h"
#include "app/core/progressstore.h"
#include "app/core/screenplace.h"
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
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextDocumentFragment>

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

// Sets configuration values written as "Key=value Key=value".
void configure(const QString& settings)
{
    for (const QString& setting : settings.split(' ', Qt::SkipEmptyParts)) {
        for (int i = 0; i < App::configKeyCount(); ++i) {
            if (App::configKey(i) == setting.section('=', 0, 0))
                App::setConfigValue(i, setting.section('=', 1));
        }
    }
}

// A sending cycle on 250 characters for a main window that records what it is asked: "passages
// laid/posts made".
struct RecordedCycle
{
    int laid = 0;
    int posts = 0;
    bool tickDuringPost = false;
    QString title; // the last title message, rich text
    SendingCycle cycle{host()};

    explicit RecordedCycle(int segLength)
    {
        cycle.start(segLength, QStringLiteral("测试文"), digits(250), firstSegment(digits(250), segLength), {});
    }
    SendingHost host()
    {
        SendingHost h;
        h.layPassage = [this](const QString&, const QString&, const QString&) { ++laid; };
        h.passage = [] { return QString(); };
        h.post = [this](const QString&) {
            ++posts;
            if (std::exchange(tickDuringPost, false)) // as the timer would while the post waits
                cycle.advance(SendingCycle::Trigger::Period);
        };
        h.freeTyping = [] { return App::Pattern == FreeTyping; };
        h.maximised = [] { return false; };
        h.focusTypingPane = [] {};
        h.titleMessage = [this](const QString& message, int) { title = message; };
        return h;
    }
    QString counts() const { return QStringLiteral("%1/%2").arg(laid).arg(posts); }
};

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
        QCOMPARE(store.names(), QStringList({saved}));
        // The first read records the whole text; it stays while the rest is saved over it.
        QVERIFY(store.saveText(QStringLiteral("测试文"), digits(250), &saved, &error));
        QCOMPARE(ts::progressTotal(store, saved, 250), 250);
        QVERIFY(store.saveText(QStringLiteral("测试文"), digits(50), &saved, &error));
        bool ok = false;
        QCOMPARE(store.readText(saved, &ok), digits(50));
        QVERIFY(ok);
        QCOMPARE(ts::progressTotal(store, saved, 50), 250);
        // A folder that cannot be made is a failure with a reason.
        QVERIFY(App::writeFile(dir.file(QStringLiteral("blocked")), QStringLiteral("x")));
        QVERIFY(!ProgressStore(dir.file(QStringLiteral("blocked"))).saveText(QStringLiteral("t"), "x", &saved, &error));
        QVERIFY(!error.isEmpty());
    }

    // The cycle's ways forward and its period timer, each by its effect: after the start and after each
    // step, passages laid/posts made, or the timer's interval in ms (0: stopped). "command+tick": a
    // period tick comes while the command's post waits; "wait": for the timer's tick.
    void cycleBranches_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("segLength");
        QTest::addColumn<QString>("trace");
        const auto row = [](const char* tag, const char* settings, int segLength, const char* trace) {
            QTest::addRow("%s", tag) << QString::fromUtf8(settings) << segLength << QString::fromLatin1(trace);
        };
        row("after a run", "Dl=false", 100, "1/1 timer 0 run 2/2 command 3/3 tick 4/4");
        row("no automatic sending", "Dl=false Fw=不处理", 100, "1/1 run 1/1 command 2/2");
        row("solo practice posts nothing", "Dl=true", 100, "1/0 run 1/0 command 2/0 tick 3/0");
        row("solo practice, period", "Dl=true Fw=周期发文", 100, "1/0 timer 0");
        row("sent whole", "Dl=false", 250, "1/1 run 1/1 command 1/1 tick 1/1");
        row("free typing", "Dl=false Pattern=1", 100, "1/1 run 1/1 command 1/1 tick 1/1");
        row("period", "Dl=false Fw=周期发文 Fwtime=30", 100, "1/1 timer 30000 command+tick 2/2 tick 3/3");
        row("period of 0 s is a second", "Dl=false Fw=周期发文 Fwtime=0", 100, "1/1 timer 1000 wait 2/2");
    }
    void cycleBranches()
    {
        QFETCH(QString, settings);
        QFETCH(int, segLength);
        QFETCH(QString, trace);
        configure(settings);
        RecordedCycle c(segLength);
        auto* timer = c.cycle.findChild<QTimer*>("periodicTimer");
        QStringList seen{c.counts()};
        const QStringList steps = trace.split(' ');
        for (int i = 1; i < steps.size(); i += 2) {
            const QString& step = steps.at(i);
            if (step == "run")
                c.cycle.advanceAfterRun(true);
            else if (step == "tick")
                c.cycle.advance(SendingCycle::Trigger::Period);
            else if (step == "wait")
                QVERIFY(QSignalSpy(timer, &QTimer::timeout).wait());
            else if (step == "command+tick")
                c.tickDuringPost = true;
            if (step.startsWith("command"))
                c.cycle.advance();
            seen << step << (step == "timer" ? QString::number(timer->isActive() ? timer->interval() : 0) : c.counts());
        }
        QCOMPARE(seen.join(' '), trace);
    }

    // A progress text goes out as "自定义内容": the panel names the text itself. The record holder's
    // notice comes from the server and shows in the title as written.
    void namesShownAsWritten()
    {
        App::Zdname = QStringLiteral("长进度");
        const QString notice = QStringLiteral("该文本速度保持者为：【<b>宗师</b>】甲 速度为：180.5");
        RecordedCycle c(100);
        c.cycle.start(100, QStringLiteral("自定义内容"), digits(250), digits(100), notice);
        QCOMPARE(c.cycle.panel()->findChild<QLineEdit*>("lineEdit")->text(), App::Zdname);
        QCOMPARE(QTextDocumentFragment::fromHtml(c.title).toPlainText(), notice);
    }

    // The automatic sending's two warnings, which refuse nothing, and the seconds shown in the period
    // mode alone, after a mode picked by key from 不处理 or the next segment box checked. The seconds
    // stay as stored though the box cannot show them; the threshold is stored back as shown.
    void autoSendingSettings_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("choice"); // empty: the box
        QTest::addColumn<QString>("warning");
        const auto row = [](const char* tag, const char* settings, const QString& choice, const char* warning) {
            QTest::addRow("%s", tag) << QString::fromUtf8(settings) << choice << QString::fromUtf8(warning);
        };
        row("after a run, next segment on", "Dl=false Fw=不处理 Zdhd=true", SendMode::AfterRun,
            "和下方自动换段功能重复，请选择不处理。");
        row("period, next segment on", "Dl=false Fw=不处理 Zdhd=true", SendMode::Period, "");
        row("after a run, solo practice", "Dl=true Fw=不处理 Zdhd=true", SendMode::AfterRun, "");
        row("next segment, after a run", "Dl=false", {}, "和上方跟打结束自动发文功能重复，请选择不处理。");
        row("next segment, solo practice", "Dl=true", {}, "");
        row("next segment, period", "Dl=false Fw=周期发文", {}, "");
    }
    void autoSendingSettings()
    {
        QFETCH(QString, settings);
        QFETCH(QString, choice);
        TestDir dir;
        configure(settings + QStringLiteral(" Fwtime=150 Zdhd3=10.126"));
        const QString mode = choice.isEmpty() ? App::Fw : choice;
        Form form(nullptr, dir.path());
        form.show();
        BoxAnswerer box(true);
        auto* modes = form.findChild<QComboBox*>("comboFw");
        if (choice.isEmpty())
            QTest::mouseClick(form.findChild<QCheckBox*>("ckZdhd"), Qt::LeftButton);
        else if (modes->isEnabled())
            QTest::keyClick(modes, mode == SendMode::Period ? Qt::Key_Up : Qt::Key_Home);
        else // solo practice disables the box; its choice still meets the slot's own guard
            emit modes->textActivated(mode);
        QTEST(box.text, "warning");
        auto* seconds = form.findChild<QSpinBox*>("spinFwtime");
        QCOMPARE(seconds->isVisible(), mode == SendMode::Period);
        QCOMPARE((QStringList{seconds->text(), form.findChild<QAbstractSpinBox*>("spinZdhd")->text()}),
                 (QStringList{"99", "10.13"}));
        QCOMPARE((QVariantList{configFileValue("Fw"), configFileValue("Zdhd"), configFileValue("Fwtime"),
                               configFileValue("Zdhd3")}),
                 (QVariantList{mode, "true", "150", "10.13"}));
        if (mode == SendMode::Period && !App::Dl) {
            QTest::keyClick(seconds, Qt::Key_Down);
            QCOMPARE(configFileValue("Fwtime"), QVariant("98"));
        }
    }

    // A progress text is shown cut and read-only with how far it went, and handed over whole under its
    // own name.
    void progressTextEntry()
    {
        TestDir dir;
        const ProgressStore store(dir.path());
        const QString text = digits(6000);
        QString error;
        QVERIFY(store.saveText(QStringLiteral("长进度"), text, &App::Zdname, &error) &&
                store.writeTotal(App::Zdname, 10000));
        Form form(nullptr, dir.path());
        form.show();
        auto* list = form.findChild<QListWidget*>("listSource");
        const QRect entry =
            list->visualItemRect(list->findItems(QStringLiteral("跟打进度"), Qt::MatchExactly).value(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
        auto* preview = form.findChild<QPlainTextEdit*>("txtPreview");
        QVERIFY(preview->isReadOnly());
        QCOMPARE(preview->toPlainText(), digits(3000) + QStringLiteral("[......未完]"));
        QCOMPARE(form.findChild<QLabel*>("labProgress")->text(), QStringLiteral("跟打进度:40.00%"));
        QCOMPARE(form.findChild<QComboBox*>("comboProgress")->currentText(), App::Zdname);
        QSignalSpy handed(&form, &Form::infoSend);
        QTest::mouseClick(form.findChild<QWidget*>("btnSend"), Qt::LeftButton);
        QCOMPARE(handed.value(0).mid(0, 4), QVariantList({100, App::Zdname, text, digits(100)}));
    }

    void curvePointsAndPlacement()
    {
        const CurvePoints p = curvePoints(QStringLiteral("320 305 abc  "));
        QCOMPARE(p.count(), 3); // the empty items after the last sample give no points
        QCOMPARE(p.y, QVector<double>({320, 305, 0}));
        QCOMPARE(p.x, QVector<double>({0, 1, 2}));
        QCOMPARE(curvePoints(QString()).count(), 0);
        const QRect screen(0, 0, 1280, 1000);
        QCOMPARE(ScreenPlace::keptInside(QRect(-200, 10, 294, 475), screen).topLeft(), QPoint(0, 10));
        QCOMPARE(ScreenPlace::keptInside(QRect(1200, 900, 294, 475), screen).topLeft(), QPoint(986, 525));
        QCOMPARE(ScreenPlace::keptInside(QRect(100, 100, 294, 475), screen), QRect(100, 100, 294, 475));
        QCOMPARE(ScreenPlace::keptInside(QRect(300, -40, 1400, 1100), screen).topLeft(),
                 QPoint()); // larger than the screen
    }
};

QTEST_MAIN(TestSending)
#include "test_sending.moc"
