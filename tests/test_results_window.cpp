// The main window's results side: figures and table cells of a run, colours and column switches,
// the end of a run with its result line on the clipboard, the check command, the typing record
// with its day roll-over and clearing commands, the code hint and the theoretical code length.
#include "app/app.h"
#include "testsupport.h"
#include "typing/codefile.h"
#include "typing/frmmain.h"
#include "typing/record.h"
#include "typing/resultline.h"
#include "typing/results.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>

#include <memory>

namespace {

// 100 characters; the worked run types them with one wrong character at position 50.
QString passage100()
{
    const QString base = QStringLiteral("春眠不觉晓处处闻啼鸟夜来风雨声花落知多少床前明月光疑是地上霜举头望山低思故乡");
    QString text;
    while (text.size() < 100)
        text += base;
    return text.left(100);
}

void writeUtf8(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// Answers the next modal box: records its text and format, then clicks yes/OK or no.
class BoxAnswerer : public QObject
{
public:
    explicit BoxAnswerer(bool yes) : m_yes(yes)
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                if (++m_tries > 500)
                    m_poll.stop();
                return;
            }
            m_poll.stop();
            ++boxes;
            if (auto* info = modal->findChild<QLabel*>(QStringLiteral("labInfo"))) {
                text = info->text();
                format = info->textFormat();
            }
            auto* button =
                modal->findChild<QPushButton*>(m_yes ? QStringLiteral("btnOk") : QStringLiteral("btnCancel"));
            if (button && button->isVisible())
                button->click();
            else
                static_cast<QDialog*>(modal)->done(-1);
        });
        m_poll.start(10);
    }

    int boxes = 0;
    QString text;
    Qt::TextFormat format = Qt::AutoText;

private:
    QTimer m_poll;
    bool m_yes;
    int m_tries = 0;
};

QStringList rowTexts(QStandardItemModel* model, int row)
{
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column) {
        const QStandardItem* item = model->item(row, column);
        texts << (item ? item->text() : QString());
    }
    return texts;
}

QString storedValue(const char* key)
{
    QSettings store(QStringLiteral("VEK Helper"), QStringLiteral("VEK"));
    store.beginGroup(QStringLiteral("VekConfig"));
    return store.value(QString::fromLatin1(key)).toString();
}

} // namespace

class TestResultsWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDir> m_dir;

    void setPanes(frmMain& w, const QString& reference, const QString& typed)
    {
        // Set as a finished run leaves them, without running the typing pane's change handling.
        const QSignalBlocker refBlock(w.findChild<QTextEdit*>("textEdit"));
        const QSignalBlocker typedBlock(w.findChild<QTextEdit*>("textEdit2"));
        w.findChild<QTextEdit*>("textEdit")->setPlainText(reference);
        w.findChild<QTextEdit*>("textEdit2")->setPlainText(typed);
    }

    // The worked run: 100 counted characters in 3000 ticks, 250 keys, `wrong` wrong characters.
    void setUpWorkedRun(frmMain& w, int wrong = 1)
    {
        const QString passage = passage100();
        QString typed = passage;
        w.wrongRefChars.clear();
        w.wrongTypedChars.clear();
        for (int i = 0; i < wrong; ++i) {
            const int pos = 50 + i;
            w.wrongRefChars += passage.at(pos);
            w.wrongTypedChars += QChar(0x4E00 + i); // 一 and on: not in the passage
            typed[pos] = QChar(0x4E00 + i);
        }
        // Laid as any passage is; the typed text is put in place as a finished run leaves it.
        w.loadArticle(passage);
        setPanes(w, passage, typed);

        w.typedCount = 100;
        w.uncountedChars.clear();
        w.wordChars = 40;
        w.wrongCount = wrong;
        w.retypeCount = 2;
        w.clockMinutesText = QStringLiteral("00:");
        w.clockSecondsText = QStringLiteral("30.");
        w.clockCentisText = QStringLiteral("00");
        w.clockTicksText = QStringLiteral("3000");
        App::KeyCount = 250;
        App::CorrectCount = 10;
        App::BackCount = 14;
        App::EnterCount = 1;
        App::SelectCount = 20;
        App::LeftKeys = 120;
        App::RightKeys = 130;
    }

private slots:
    void initTestCase() { App::initResources(); }

    void init()
    {
        m_dir = std::make_unique<TestDir>();
        QDir().mkpath(QStringLiteral("编码文件"));
        App::resetConfig();
        App::DbOnline = false;
        App::CanUpload = false;
        App::KeyCount = App::SelectCount = App::EnterCount = App::BackCount = 0;
        App::LeftKeys = App::RightKeys = App::CorrectCount = 0;
        App::Jilu = App::TempJilu = App::Totaljs = App::Totalco = 0;
        App::Totalti = 0.0;
        App::Day.clear();
        App::Day2.clear();
        App::CurrentUserName.clear();
        QApplication::clipboard()->clear();
    }

    void cleanup() { m_dir.reset(); }

    void workedRunCells()
    {
        auto w = std::make_unique<frmMain>();
        setUpWorkedRun(*w);
        w->computeResults();
        w->refreshResultButtons();

        QCOMPARE(w->countedChars, 100);
        QCOMPARE(w->runMinutes, 0.5);
        QCOMPARE(w->speedText, QStringLiteral("200.00"));
        QCOMPARE(w->keyRateText, QStringLiteral("8.33"));
        QCOMPARE(w->codeLengthText, QStringLiteral("2.50"));
        QCOMPARE(rowTexts(w->resultModel, 0), QStringList({"200.00", "8.33", "2.50", "100", "00:30.00", "10", "4", "1",
                                                           "250", "20", "96.00%", "92.31%", "2", "40.00%", "1"}));
        for (int column = 0; column < 15; ++column)
            QCOMPARE(w->resultModel->item(0, column)->textAlignment(), Qt::AlignHCenter | Qt::AlignVCenter);
        QCOMPARE(w->findChild<QPushButton*>("button")->text(), QStringLiteral("速度:200.00"));
        QCOMPARE(w->findChild<QPushButton*>("button2")->text(), QStringLiteral("击键:8.33"));
        QCOMPARE(w->findChild<QPushButton*>("button3")->text(), QStringLiteral("码长:2.50"));

        // Each evaluation adds one sample to every history.
        QCOMPARE(w->speedHistory, QStringLiteral("200 "));
        QCOMPARE(w->speedHistory2, QStringLiteral("200.00 "));
        w->computeResults();
        QCOMPARE(w->keyRateHistory, QStringLiteral("8.33 8.33 "));
        QCOMPARE(w->codeLenHistory, QStringLiteral("2.50 2.50 "));
    }

    void rowFillByLiveSwitch_data()
    {
        QTest::addColumn<bool>("live");
        QTest::addColumn<bool>("finished");
        QTest::addColumn<int>("typed");
        QTest::addColumn<bool>("rowFilled");
        QTest::addColumn<QString>("speedButton");

        QTest::addRow("live figures while typing") << true << false << 100 << true << "速度:200.00";
        QTest::addRow("no live figures while typing") << false << false << 100 << false << "速度:old";
        QTest::addRow("no live figures, finished") << false << true << 100 << true << "速度:200.00";
        QTest::addRow("nothing typed") << true << false << 0 << false << "速度:";
    }

    void rowFillByLiveSwitch()
    {
        QFETCH(bool, live);
        QFETCH(bool, finished);
        QFETCH(int, typed);
        QFETCH(bool, rowFilled);
        QFETCH(QString, speedButton);

        App::ShiShi = live;
        auto w = std::make_unique<frmMain>();
        setUpWorkedRun(*w);
        w->findChild<QPushButton*>("button")->setText(QStringLiteral("速度:old"));
        w->finished = finished;
        w->typedCount = typed;
        w->computeResults();
        w->refreshResultButtons();

        const QStringList row = rowTexts(w->resultModel, 0);
        QCOMPARE(row.size(), 15);
        if (rowFilled)
            QCOMPARE(row.at(0), QStringLiteral("200.00"));
        else
            QVERIFY2(row.join(QString()).isEmpty(), qPrintable(row.join(QLatin1Char('|'))));
        QCOMPARE(w->findChild<QPushButton*>("button")->text(), speedButton);
    }

    void cellColours_data()
    {
        QTest::addColumn<bool>("colouring");
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<QColor>("speedColour");
        QTest::addColumn<QColor>("keyRateColour");
        QTest::addColumn<QColor>("codeColour");

        // 100 characters; 3000 ticks give speed 200, 2727 ticks 220.02, 3300 ticks 181.82.
        QTest::addRow("200/min, 9 keys/s, 2.7 keys/char")
            << true << 270 << 3000 << QColor(Qt::green) << QColor(Qt::green) << QColor();
        QTest::addRow("220/min, 11 keys/s, 3.0 keys/char")
            << true << 300 << 2727 << QColor(Qt::red) << QColor(Qt::red) << QColor();
        QTest::addRow("180/min band, 2.2 keys/char")
            << true << 220 << 3300 << QColor(Qt::blue) << QColor() << QColor(Qt::blue);
        QTest::addRow("colouring off") << false << 270 << 3000 << QColor() << QColor() << QColor();
    }

    void cellColours()
    {
        QFETCH(bool, colouring);
        QFETCH(int, keys);
        QFETCH(int, ticks);
        QFETCH(QColor, speedColour);
        QFETCH(QColor, keyRateColour);
        QFETCH(QColor, codeColour);

        App::BianSe = colouring;
        auto w = std::make_unique<frmMain>();
        setUpWorkedRun(*w);
        App::KeyCount = keys;
        w->clockTicksText = QString::number(ticks);
        w->computeResults();
        w->refreshResultButtons();

        const QColor expected[] = {speedColour, keyRateColour, codeColour};
        for (int column = 0; column < 3; ++column) {
            const QVariant brush = w->resultModel->item(0, column)->data(Qt::ForegroundRole);
            if (expected[column].isValid()) {
                QVERIFY2(brush.isValid(), qPrintable(QString::number(column)));
                QCOMPARE(brush.value<QBrush>().color(), expected[column]);
                QCOMPARE(brush.value<QBrush>().style(), Qt::SolidPattern);
            } else {
                QVERIFY2(!brush.isValid(), qPrintable(QString::number(column)));
            }
        }
    }

    void columnSwitchesHideColumns()
    {
        auto w = std::make_unique<frmMain>();
        App::Jijian = false;
        App::Cuozi = false;
        w->clearResult(); // clearing a row applies the switches
        for (int column = 0; column < 15; ++column)
            QCOMPARE(w->resultView->isColumnHidden(column), column == 1 || column == 14);
        App::Jijian = true;
        w->chengji();
        QVERIFY(!w->resultView->isColumnHidden(1));
        QVERIFY(w->resultView->isColumnHidden(14));
    }

    void followRunEndChain_data()
    {
        QTest::addColumn<bool>("live");
        QTest::addRow("live figures") << true;
        QTest::addRow("figures only at the end") << false;
    }

    void followRunEndChain()
    {
        QFETCH(bool, live);
        App::ShiShi = live;
        App::Totaljs = 50;
        App::Totalti = 10.0;
        App::Totalco = 20;

        auto w = std::make_unique<frmMain>();
        setUpWorkedRun(*w);
        w->wrongCount = 0; // the live count need not agree with the final comparison
        w->finished = true;
        w->computeResults();
        if (live)
            w->refreshResultButtons(); // the tick's fill before the end test
        w->computeResults();
        // Samples of the run; the first is always dropped and 240 is too far above the final speed.
        w->speedHistory = QStringLiteral("150 210 240 205 200 ");
        w->speedHistory2 = QStringLiteral("150.00 210.00 240.00 205.00 200.00 ");
        w->keyRateHistory = QStringLiteral("5.00 9.25 8.90 8.40 8.33 ");
        w->codeLenHistory = QStringLiteral("1.00 2.40 2.10 2.45 2.50 ");
        w->finalSpeed = 200.0;
        w->finalKeyRate = 8.33;
        w->finalCodeLength = 2.5;
        w->slotDelay();

        QCOMPARE(w->runEndCount, 1);
        QCOMPARE(w->wrongCount, 1);
        QCOMPARE(rowTexts(w->resultModel, 0).at(0), QStringLiteral("190.00/200.00"));
        QCOMPARE(rowTexts(w->resultModel, 0).at(14), QStringLiteral("1"));
        QCOMPARE(w->findChild<QPushButton*>("button")->text(), QStringLiteral("速度:190.00/200.00"));
        QCOMPARE(w->resultView->columnWidth(0), 130);
        for (int column = 1; column < 15; ++column)
            QCOMPARE(w->resultView->columnWidth(column), 86);

        // Totals of finished runs and the averages made from them.
        QCOMPARE(App::Totaljs, 300);
        QCOMPARE(App::Totalti, 40.0);
        QCOMPARE(App::Totalco, 120);
        QCOMPARE(storedValue("Totaljs"), QStringLiteral("300"));
        QCOMPARE(w->findChild<QPushButton*>("button4")->text(), QStringLiteral("平均击键: 7.50"));
        QCOMPARE(w->findChild<QPushButton*>("button5")->text(), QStringLiteral("平均码长: 2.50"));
        QVERIFY(w->findChild<QPushButton*>("button4")->toolTip().startsWith(QStringLiteral("总击键数: 300\n")));

        // The peaks come from the filtered samples.
        QCOMPARE(w->peakSpeed, 210.0);
        QCOMPARE(w->peakKeyRate, 9.25);
        QCOMPARE(w->peakCodeLength, 2.1);
        QCOMPARE(w->speedHistory, QStringLiteral("210 205 200 "));

        // The line on the clipboard carries the penalty speed, the peaks and the error part, and checks.
        const QString line = QApplication::clipboard()->text();
        QCOMPARE(line, w->resultText);
        const QString errorPart =
            QStringLiteral(" 错字1 错情[") + passage100().at(50) + QStringLiteral("√ 一×][错一罚五]");
        QVERIFY2(line.startsWith(QStringLiteral("第1段 速度190.00/200.00 击键8.33 码长2.50 字数100 时间00:30.00")),
                 qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral(" 峰值210/9.25/2.1") + errorPart + QStringLiteral(" 校检:")),
                 qPrintable(line));
        QVERIFY(line.endsWith(QStringLiteral(" ") + App::AppTitle));
        QCOMPARE(w->resultTextPlain, line.left(line.indexOf(QStringLiteral(" 校检:"))));
        QCOMPARE(verifyResultLine(line, App::ShuRuFa2, App::QianMing2).outcome, LineCheck::Genuine);
        QCOMPARE(w->shortResult, line);
    }

    void retypeDuringEndWaitDropsTheRun()
    {
        // The row stays on show for a moment before the result is built; a retype in that moment
        // (the hot key still works) ends the chain: no totals, no line.
        App::ShiShi = false;
        auto w = std::make_unique<frmMain>();
        setUpWorkedRun(*w);
        w->finished = true;
        w->computeResults();
        QTimer::singleShot(20, w.get(), &frmMain::Reset);
        w->slotDelay();

        QCOMPARE(w->runEndCount, 0);
        QCOMPARE(App::Totaljs, 0);
        QVERIFY(QApplication::clipboard()->text().isEmpty());
        QVERIFY(w->resultText.isEmpty());
    }

    void uploadEligibility_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("sentLength");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<bool>("canUpload");

        QTest::addRow("built-in set of 500") << "常用单字前五百" << 500 << 0 << true << true;
        QTest::addRow("built-in set of 1500") << "常用单字前1500" << 1500 << 0 << true << true;
        QTest::addRow("built-in title, other length") << "常用单字中五百" << 499 << 0 << false << false;
        QTest::addRow("sent whole") << "某文章" << 300 << 300 << true << false;
        QTest::addRow("sent in segments") << "某文章" << 300 << 1200 << false << false;
    }

    void uploadEligibility()
    {
        QFETCH(QString, title);
        QFETCH(int, length);
        QFETCH(int, sentLength);
        QFETCH(bool, whole);
        QFETCH(bool, canUpload);

        App::Fanye = 2000; // one page, typed whole
        auto w = std::make_unique<frmMain>();
        QString passage;
        while (passage.size() < length)
            passage += passage100();
        passage.truncate(length);
        w->loadArticle(passage);
        setPanes(*w, passage, passage);
        w->textTitle = title;
        w->sentLength = sentLength;
        w->typedCount = length;
        w->clockTicksText = QStringLiteral("6000");
        App::KeyCount = length * 2;
        w->finished = true;
        w->computeResults();
        w->refreshResultButtons();
        w->slotDelay();

        QCOMPARE(w->wholeText, whole);
        QCOMPARE(App::CanUpload, canUpload);
        if (canUpload)
            QCOMPARE(w->sentLength, length);

        // Without wrong characters the speed cell stays plain, its column narrow, the line error-free.
        QCOMPARE(rowTexts(w->resultModel, 0).at(0), QStringLiteral("%1.00").arg(length));
        QCOMPARE(w->resultView->columnWidth(0), 90);
        const QString line = QApplication::clipboard()->text();
        QVERIFY2(!line.contains(QStringLiteral("错情")), qPrintable(line));
        QCOMPARE(verifyResultLine(line, false, false).outcome, LineCheck::Genuine);
    }

    void freeRunEndsOnce()
    {
        App::Pattern = 1;
        auto w = std::make_unique<frmMain>();
        w->mode = 1;
        setUpWorkedRun(*w, 0);
        w->resultRow = 3;
        w->computeResults();
        w->refreshResultButtons();

        // The free run's result pop-up comes whatever TanChuang says; declined, nothing is posted,
        // and without GbtanChuang the run is not reset for retyping.
        App::GbtanChuang = false;
        BoxAnswerer answer(false);
        w->slotDelay2();
        QCOMPARE(answer.boxes, 1);
        QCOMPARE(w->runEndCount, 1);
        QCOMPARE(w->resultRow, 4); // the finished free row stays
        QVERIFY(w->findChild<QTextEdit*>("textEdit2")->isReadOnly());
        QCOMPARE(w->finalKeyRate, 8.33);
        const QString line = QApplication::clipboard()->text();
        QVERIFY2(line.endsWith(App::AppTitle + QStringLiteral(" 自由模式")), qPrintable(line));
        QVERIFY(!line.contains(QStringLiteral("错情")));
        QCOMPARE(verifyResultLine(line, false, false).outcome, LineCheck::Genuine);

        // A second stop of the same run does nothing.
        QApplication::clipboard()->clear();
        w->slotDelay2();
        QCOMPARE(w->runEndCount, 2);
        QCOMPARE(w->resultRow, 4);
        QVERIFY(QApplication::clipboard()->text().isEmpty());
    }

    void freeStopBeforeTypingUsesTheEntry()
    {
        App::Pattern = 1;
        auto w = std::make_unique<frmMain>();
        w->mode = 1;
        setUpWorkedRun(*w, 0);
        w->typedCount = 0;
        w->slotDelay2();
        w->typedCount = 100;
        w->computeResults();
        w->slotDelay2();
        QCOMPARE(w->runEndCount, 2);
        QVERIFY(QApplication::clipboard()->text().isEmpty());
        QCOMPARE(w->resultRow, 0);

        // Follow mode: the pause reaches the free chain, which only counts.
        auto follow = std::make_unique<frmMain>();
        setUpWorkedRun(*follow, 0);
        follow->mode = 0;
        follow->slotDelay2();
        QCOMPARE(follow->runEndCount, 1);
        QVERIFY(!follow->findChild<QTextEdit*>("textEdit2")->isReadOnly());
    }

    void checkCommand_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("message");

        RunResult run;
        run.segmentHeader = QStringLiteral("第3段");
        run.cells = QStringList({"190.00/200.00", "8.33", "2.50", "100", "00:30.00", "10", "4", "1", "250", "20",
                                 "96.00%", "92.31%", "2", "40.00%", "1"});
        run.peakSpeed = 210;
        run.peakKeyRate = 9.25;
        run.peakCodeLength = 2.1;
        run.wrongCount = 1;
        run.wrongRefChars = QStringLiteral("晓");
        run.wrongTypedChars = QStringLiteral("小");
        LineSettings settings;
        settings.appTitle = App::AppTitle;
        const QString genuine = buildResultLine(run, settings, RunEnd::FollowOrBlind).resultText;
        QString tampered = genuine;
        tampered.replace(QStringLiteral("击键8.33"), QStringLiteral("击键9.33"));

        QTest::addRow("genuine") << genuine << "成绩为真！";
        QTest::addRow("genuine with blanks around") << "\n  " + genuine + "  \n"
                                                    << "成绩为真！";
        QTest::addRow("tampered") << tampered << "成绩为假！";
        QTest::addRow("marker without check field") << "第1段 速度100.00 Tavrel跟打器v1.36"
                                                    << "成绩为假！";
        QTest::addRow("foreign text") << "<b>hello</b> &amp; 校检:abcde"
                                      << "只能识别Tavrel跟打器成绩！";
        QTest::addRow("empty clipboard") << QString() << "只能识别Tavrel跟打器成绩！";
    }

    void checkCommand()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, message);

        auto w = std::make_unique<frmMain>();
        QApplication::clipboard()->setText(clipboard);
        BoxAnswerer answer(true);
        w->checkSlot();
        QCOMPARE(answer.boxes, 1);
        QCOMPARE(answer.text, message);
        QCOMPARE(answer.format, Qt::PlainText);
    }

    void recordDayChange_data()
    {
        QTest::addColumn<QDateTime>("later");
        QTest::addColumn<bool>("reset");

        const QDate day(2024, 3, 9);
        QTest::addRow("next second, same day") << QDateTime(day, QTime(23, 59, 59)) << false;
        QTest::addRow("midnight") << QDateTime(day.addDays(1), QTime(0, 0, 0)) << true;
        QTest::addRow("midnight second missed") << QDateTime(day.addDays(1), QTime(0, 0, 2)) << true;
        QTest::addRow("woke up days later") << QDateTime(day.addDays(3), QTime(9, 30)) << true;
        QTest::addRow("clock set back a day") << QDateTime(day.addDays(-1), QTime(12, 0)) << true;
    }

    void recordDayChange()
    {
        QFETCH(QDateTime, later);
        QFETCH(bool, reset);

        const QDate day(2024, 3, 9);
        App::Jilu = 1000;
        App::TempJilu = 50;
        App::Day = TypingRecord::dayText(day.addDays(-2));
        App::Day2 = TypingRecord::dayText(day);

        QDateTime now(day, QTime(23, 59, 58));
        auto w = std::make_unique<frmMain>();
        w->m_record = TypingRecord([&now] { return now; });
        w->m_record.checkDay();
        w->refreshRecordLabel();
        QCOMPARE(w->labRecord->text(), QStringLiteral("打字记录: 50/1000/3天"));
        QCOMPARE(w->labRecord->toolTip(),
                 QStringLiteral("今日跟打:50字\n总跟打数:1000字\n记录天数:3天\n平均每天:333字"));

        now = later;
        w->qtimeSlot();
        if (reset) {
            QCOMPARE(App::TempJilu, 0);
            QCOMPARE(App::Day2, TypingRecord::dayText(later.date()));
            QCOMPARE(storedValue("TempJilu"), QStringLiteral("0"));
            QCOMPARE(w->labRecord->text(), QStringLiteral("打字记录: 0/1000/3天"));
        } else {
            QCOMPARE(App::TempJilu, 50);
            QCOMPARE(App::Day2, TypingRecord::dayText(day));
            QCOMPARE(w->labRecord->text(), QStringLiteral("打字记录: 50/1000/3天"));
        }
        QCOMPARE(App::Jilu, 1000);

        // Later ticks on the same date change nothing more.
        App::TempJilu = 7;
        w->qtimeSlot();
        w->qtimeSlot();
        QCOMPARE(App::TempJilu, 7);
    }

    void clearResultTable_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addRow("confirmed") << true;
        QTest::addRow("declined") << false;
    }

    void clearResultTable()
    {
        QFETCH(bool, yes);

        auto w = std::make_unique<frmMain>();
        // Two finished rows, the current run finished too, and the speed column widened.
        setUpWorkedRun(*w, 0);
        w->finished = true;
        for (int row = 0; row < 3; ++row) {
            w->resultRow = row;
            w->computeResults();
            w->fillResultRow();
        }
        w->resultView->setColumnWidth(0, 130);
        w->resultView->setColumnWidth(5, 86);

        BoxAnswerer answer(yes);
        w->qkSlot();
        QCOMPARE(answer.boxes, 1);
        QCOMPARE(answer.text, QStringLiteral("是否清空成绩栏？"));
        if (yes) {
            QCOMPARE(w->resultModel->rowCount(), 0);
            QCOMPARE(w->resultRow, 0);
            for (int column = 0; column < 15; ++column)
                QCOMPARE(w->resultView->columnWidth(column), 90);
            // The next run fills row 0.
            w->computeResults();
            w->fillResultRow();
            QCOMPARE(w->resultModel->rowCount(), 1);
        } else {
            QCOMPARE(w->resultModel->rowCount(), 3);
            QCOMPARE(w->resultRow, 2);
            QCOMPARE(w->resultView->columnWidth(0), 130);
        }
    }

    void clearTypingRecord()
    {
        App::Jilu = 1000;
        App::TempJilu = 50;
        auto w = std::make_unique<frmMain>();
        w->refreshRecordLabel();

        {
            BoxAnswerer answer(false);
            w->jlSlot();
            QCOMPARE(answer.text, QStringLiteral("是否清空打字记录？"));
            QCOMPARE(App::Jilu, 1000);
            QCOMPARE(w->labRecord->text(), QStringLiteral("打字记录: 50/1000/1天"));
        }
        BoxAnswerer answer(true);
        w->jlSlot();
        QCOMPARE(answer.boxes, 1);
        QCOMPARE(App::Jilu, 0);
        QCOMPARE(App::TempJilu, 0);
        QCOMPARE(storedValue("Jilu"), QStringLiteral("0"));
        QCOMPARE(w->labRecord->text(), QStringLiteral("打字记录: "));
        w->refreshRecordLabel();
        QCOMPARE(w->labRecord->text(), QStringLiteral("打字记录: 0/0/1天"));
    }

    void clearPinnedBar()
    {
        App::Totaljs = 3000;
        App::Totalti = 400.0;
        App::Totalco = 1500;
        auto w = std::make_unique<frmMain>();
        w->refreshTotals();
        QCOMPARE(w->findChild<QPushButton*>("button4")->text(), QStringLiteral("平均击键: 7.50"));
        w->findChild<QPushButton*>("button6")->setText(QStringLiteral("理论码长:2.31"));

        BoxAnswerer answer(true);
        w->zdSlot();
        QCOMPARE(answer.text, QStringLiteral("是否清空置顶成绩栏？"));
        QCOMPARE(App::Totaljs, 0);
        QCOMPARE(App::Totalti, 0.0);
        QCOMPARE(App::Totalco, 0);
        QCOMPARE(storedValue("Totalco"), QStringLiteral("0"));
        const char* names[] = {"button", "button2", "button3", "button4", "button5", "button6"};
        const QStringList captions = {"速度:", "击键:", "码长:", "平均击键:", "平均码长:", "理论码长:"};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(w->findChild<QPushButton*>(names[i])->text(), captions.at(i));
        QCOMPARE(w->findChild<QPushButton*>("button5")->toolTip(),
                 QStringLiteral("总击键数: \n总跟打用时(min):\n平均击键:\n平均码长:"));

        // The next finished run shows averages from the new totals.
        App::Totaljs = 100;
        App::Totalti = 20.0;
        App::Totalco = 50;
        w->refreshTotals();
        QCOMPARE(w->findChild<QPushButton*>("button4")->text(), QStringLiteral("平均击键: 5.00"));
        QCOMPARE(w->findChild<QPushButton*>("button5")->text(), QStringLiteral("平均码长: 2.00"));
    }

    void defaultCodeFile()
    {
        const QString generated = qEnvironmentVariable("TAVREL_BUILD_DIR") + QStringLiteral("/编码文件/86.txt");
        QVERIFY2(QFile::exists(generated), qPrintable(generated));
        QVERIFY(QFile::copy(generated, QStringLiteral("编码文件/86.txt")));
        App::BianMa = QStringLiteral("86.txt");
        App::BianMa2 = true;

        CodeFile oracle;
        QVERIFY(oracle.open(QStringLiteral("编码文件/86.txt")));
        const QString codeWo = oracle.codeOf(QStringLiteral("我"));
        const QString codeMen = oracle.codeOf(QStringLiteral("们"));
        QVERIFY(!codeWo.isEmpty());
        QVERIFY(!codeMen.isEmpty());

        auto w = std::make_unique<frmMain>();
        const QString reference = QStringLiteral("我们");
        setPanes(*w, reference, QString());
        w->getfirstbmts();
        QCOMPARE(w->labCodeHint->text(),
                 QStringLiteral("编码提示: 我 <font color='red';><b>%1</b></font>").arg(codeWo));

        setPanes(*w, reference, QStringLiteral("我"));
        w->spellFun();
        QCOMPARE(w->labCodeHint->text(),
                 QStringLiteral("编码提示: 们 <font color='red';><b>%1</b></font>").arg(codeMen));

        // Everything typed: no next character, and no read past the end.
        setPanes(*w, reference, QStringLiteral("我们"));
        w->spellFun();
        QCOMPARE(w->labCodeHint->text(), QStringLiteral("编码提示: "));

        // An emptied typing pane leaves the label alone.
        w->labCodeHint->setText(QStringLiteral("kept"));
        setPanes(*w, reference, QString());
        w->spellFun();
        QCOMPARE(w->labCodeHint->text(), QStringLiteral("kept"));

        // An empty reference pane gives an empty hint for the first character.
        setPanes(*w, QString(), QString());
        w->getfirstbmts();
        QCOMPARE(w->labCodeHint->text(), QStringLiteral("编码提示: "));

        // The theoretical code length of a long passage.
        QString passage;
        while (passage.size() < 10000)
            passage += passage100();
        w->passage = passage.left(10000);
        w->mcSlot();
        const int coded = oracle.codedLength(w->passage);
        QVERIFY(coded > 10000); // codes are longer than the characters they stand for
        QCOMPARE(w->findChild<QPushButton*>("button6")->text(),
                 QStringLiteral("理论码长:") + QString::number(coded / 10000.0, 'f', 2));
    }

    void codeHintSwitches_data()
    {
        QTest::addColumn<bool>("hintOn");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("label");

        QTest::addRow("hint on") << true << 0 << "编码提示: 们 <font color='red';><b>wu</b></font>";
        QTest::addRow("hint on, blind") << true << 2 << "编码提示: 们 <font color='red';><b>wu</b></font>";
        QTest::addRow("hint off") << false << 0 << "编码提示: ";
        QTest::addRow("free mode") << true << 1 << "编码提示: ";
    }

    void codeHintSwitches()
    {
        QFETCH(bool, hintOn);
        QFETCH(int, mode);
        QFETCH(QString, label);

        // The last single-character line wins; a word that begins with the character never matches.
        writeUtf8(QStringLiteral("编码文件/small.txt"), QStringLiteral("们\twux\n们的\twrrr\n们\twu\t注释\n"));
        App::BianMa = QStringLiteral("small.txt");
        App::BianMa2 = hintOn;
        auto w = std::make_unique<frmMain>();
        w->mode = mode;
        setPanes(*w, QStringLiteral("我们的"), QStringLiteral("我"));
        w->spellFun();
        QCOMPARE(w->labCodeHint->text(), label);
    }

    void codeFileReadAgainOnOpen()
    {
        writeUtf8(QStringLiteral("编码文件/edit.txt"), QStringLiteral("我\tq\n们\twu\n"));
        App::BianMa = QStringLiteral("edit.txt");
        App::BianMa2 = true;
        auto w = std::make_unique<frmMain>();
        w->passage = QStringLiteral("我们我们");
        setPanes(*w, w->passage, QString());
        auto* button6 = w->findChild<QPushButton*>("button6");

        w->getfirstbmts();
        QVERIFY(w->labCodeHint->text().contains(QStringLiteral("<b>q</b>")));
        w->on_button6_clicked();
        QCOMPARE(button6->text(), QStringLiteral("理论码长:1.50"));

        // Edited while the window is open: seen only at the next open, as applying the settings does.
        writeUtf8(QStringLiteral("编码文件/edit.txt"), QStringLiteral("我\tqqqq\n们\twuuu\n"));
        w->getfirstbmts();
        QVERIFY(w->labCodeHint->text().contains(QStringLiteral("<b>q</b>")));
        w->openCodeFile();
        w->openCodeFile2();
        w->getfirstbmts();
        QVERIFY(w->labCodeHint->text().contains(QStringLiteral("<b>qqqq</b>")));
        w->on_button6_clicked();
        QCOMPARE(button6->text(), QStringLiteral("理论码长:4.00"));

        // Changed between opening the two readers: the code length reader reads it again itself.
        w->openCodeFile();
        writeUtf8(QStringLiteral("编码文件/edit.txt"), QStringLiteral("我\tqq\n们\twu\n"));
        w->openCodeFile2();
        w->on_button6_clicked();
        QCOMPARE(button6->text(), QStringLiteral("理论码长:2.00"));
    }

    void codeFileNameStaysInFolder()
    {
        // A code-file name with folders in it is read from the code folder only.
        writeUtf8(QStringLiteral("outside.txt"), QStringLiteral("我\tq\n"));
        App::BianMa = QStringLiteral("../outside.txt");
        App::BianMa2 = true;
        auto w = std::make_unique<frmMain>();
        setPanes(*w, QStringLiteral("我们"), QString());
        w->getfirstbmts();
        QCOMPARE(w->labCodeHint->text(), QStringLiteral("编码提示: "));

        writeUtf8(QStringLiteral("编码文件/outside.txt"), QStringLiteral("我\tinside\n"));
        w->openCodeFile();
        w->getfirstbmts();
        QVERIFY(w->labCodeHint->text().contains(QStringLiteral("<b>inside</b>")));
    }

    void theoreticalCodeLength()
    {
        // A word listed before its characters is replaced whole.
        writeUtf8(QStringLiteral("编码文件/tl.txt"), QStringLiteral("世界\tln\n我\tq\n们\twu\n世\tan\n界\tlw\n"));
        App::BianMa = QStringLiteral("tl.txt");
        auto w = std::make_unique<frmMain>();
        auto* button6 = w->findChild<QPushButton*>("button6");
        w->passage = QStringLiteral("我们的世界");

        button6->click(); // the button's own slot, connected by name
        QCOMPARE(button6->text(), QStringLiteral("理论码长:1.20"));

        button6->setText(QStringLiteral("理论码长:"));
        w->mcSlot();
        QCOMPARE(button6->text(), QStringLiteral("理论码长:1.20"));

        // Free mode and an empty passage leave the button as it is.
        button6->setText(QStringLiteral("理论码长:"));
        w->mode = 1;
        w->mcSlot();
        QCOMPARE(button6->text(), QStringLiteral("理论码长:"));
        w->mode = 0;
        w->passage.clear();
        w->mcSlot();
        QCOMPARE(button6->text(), QStringLiteral("理论码长:"));
    }
};

QTEST_MAIN(TestResultsWindow)
#include "test_results_window.moc"
