// The main window's results side: figures and table cells of a run, the end of a run with its
// result line on the clipboard, the check command, the typing record across a date change, the
// clearing commands, the code hint and the theoretical code length.
#include "app/core/app.h"
#include "testsupport.h"
#include "typing/core/codefile.h"
#include "typing/coresettings.h"
#include "typing/frmmain.h"
#include "typing/core/record.h"
#include "typing/core/resultline.h"
#include "typing/core/results.h"

#include <QClipboard>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextEdit>

#include <memory>

using namespace ts;

namespace {

// 100 characters; the worked run types them with wrong characters from position 50.
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

QStringList rowTexts(QStandardItemModel* model, int row)
{
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column)
        texts << (model->item(row, column) ? model->item(row, column)->text() : QString());
    return texts;
}

QString buttonText(QWidget* w, const char* name)
{
    return w->findChild<QPushButton*>(name)->text();
}

QString codeHint(const QString& character, const QString& code)
{
    return QStringLiteral("编码提示: %1 <font color='red';><b>%2</b></font>").arg(character, code);
}

} // namespace

class TestResultsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { App::initResources(); }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        QDir().mkpath(QStringLiteral("编码文件"));
        resetWindowGlobals();
        App::Day.clear();
        App::Day2.clear();
        QApplication::clipboard()->clear();
        m_window = std::make_unique<frmMain>();
    }
    void cleanup()
    {
        m_window.reset();
        m_dir.reset();
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
        frmMain& w = *m_window;
        setUpWorkedRun(w);
        w.wrongCount = 0; // the live count need not agree with the final comparison
        w.finished = true;
        w.computeResults();
        if (live)
            w.refreshResultButtons(); // the tick's fill before the end test
        w.computeResults();
        // The first sample is always dropped, and 240 is too far above the final speed.
        w.speedHistory = QStringLiteral("150 210 240 205 200 ");
        w.speedHistory2 = QStringLiteral("150.00 210.00 240.00 205.00 200.00 ");
        w.keyRateHistory = QStringLiteral("5.00 9.25 8.90 8.40 8.33 ");
        w.codeLenHistory = QStringLiteral("1.00 2.40 2.10 2.45 2.50 ");
        w.finalSpeed = 200.0;
        w.finalKeyRate = 8.33;
        w.finalCodeLength = 2.5;
        w.slotDelay();

        // The worked run's cells with the penalty speed in its widened column; the wrong count from
        // the final comparison.
        QCOMPARE(w.runEndCount, 1);
        QCOMPARE(rowTexts(w.resultModel, 0), QStringList({"190.00/200.00", "8.33", "2.50", "100", "00:30.00", "10", "4",
                                                          "1", "250", "20", "96.00%", "92.31%", "2", "40.00%", "1"}));
        QCOMPARE(buttonText(&w, "button"), QStringLiteral("速度:190.00/200.00"));
        QCOMPARE(buttonText(&w, "button2"), QStringLiteral("击键:8.33"));
        QCOMPARE(buttonText(&w, "button3"), QStringLiteral("码长:2.50"));
        QCOMPARE(w.resultView->columnWidth(0), 130);
        QCOMPARE(w.resultView->columnWidth(1), 86);

        // Totals of finished runs and their averages, saved to the store.
        QCOMPARE(App::Totaljs, 300);
        QCOMPARE(App::Totalti, 40.0);
        QCOMPARE(App::Totalco, 120);
        QCOMPARE(storedRecord("Totaljs").toInt(), 300);
        QCOMPARE(buttonText(&w, "button4"), QStringLiteral("平均击键: 7.50"));
        QCOMPARE(buttonText(&w, "button5"), QStringLiteral("平均码长: 2.50"));
        QCOMPARE(w.peakSpeed, 210.0);
        QCOMPARE(w.peakKeyRate, 9.25);
        QCOMPARE(w.peakCodeLength, 2.1);

        // The line on the clipboard carries the penalty speed, the peaks and the errors, and verifies.
        const QString line = QApplication::clipboard()->text();
        QCOMPARE(line, w.resultText);
        QVERIFY2(line.startsWith(QStringLiteral("第1段 速度190.00/200.00 击键8.33 码长2.50 字数100 时间00:30.00")),
                 qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral(" 峰值210/9.25/2.1 错字1 错情[") + passage100().at(50) +
                               QStringLiteral("√ 一×][错一罚五] 校检:")),
                 qPrintable(line));
        QVERIFY(line.endsWith(QStringLiteral(" ") + App::AppTitle));
        QCOMPARE(verifyResultLine(line, App::ShuRuFa2, App::QianMing2).outcome, LineCheck::Genuine);
    }

    // A retype while the row is on show (the hot key still works) ends the chain: no totals, no line.
    void retypeDuringEndWaitDropsTheRun()
    {
        App::ShiShi = false;
        frmMain& w = *m_window;
        setUpWorkedRun(w);
        w.finished = true;
        w.computeResults();
        QTimer::singleShot(20, &w, &frmMain::Reset);
        w.slotDelay();
        QCOMPARE(w.runEndCount, 0);
        QCOMPARE(App::Totaljs, 0);
        QVERIFY(QApplication::clipboard()->text().isEmpty());
    }

    void uploadEligibility_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("sentLength");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<bool>("canUpload");
        QTest::addRow("built-in set of 500") << "常用单字前五百" << 500 << 0 << true << true;
        QTest::addRow("built-in title, other length") << "常用单字中五百" << 499 << 0 << false << false;
        QTest::addRow("sent whole") << "某文章" << 300 << 300 << true << false;
    }

    void uploadEligibility()
    {
        QFETCH(QString, title);
        QFETCH(int, length);
        QFETCH(int, sentLength);
        App::Fanye = 2000; // one page, typed whole
        frmMain& w = *m_window;
        QString passage;
        while (passage.size() < length)
            passage += passage100();
        passage.truncate(length);
        w.loadArticle(passage);
        setPanes(w, passage, passage);
        w.textTitle = title;
        w.sentLength = sentLength;
        w.typedCount = length;
        w.clockTicksText = QStringLiteral("6000");
        App::KeyCount = length * 2;
        w.finished = true;
        w.computeResults();
        w.refreshResultButtons();
        w.slotDelay();

        QTEST(w.wholeText, "whole");
        QTEST(App::CanUpload, "canUpload");
        // Without wrong characters the speed stays plain, its column narrow, the line error-free.
        QCOMPARE(rowTexts(w.resultModel, 0).at(0), QStringLiteral("%1.00").arg(length));
        QCOMPARE(w.resultView->columnWidth(0), 90);
        const QString line = QApplication::clipboard()->text();
        QVERIFY2(!line.contains(QStringLiteral("错情")), qPrintable(line));
        QCOMPARE(verifyResultLine(line, false, false).outcome, LineCheck::Genuine);
    }

    void freeRunEndsOnce()
    {
        App::Pattern = FreeTyping;
        frmMain& w = *m_window;
        w.mode = FreeTyping;
        setUpWorkedRun(w, 0);
        w.resultRow = 3;
        w.computeResults();
        w.refreshResultButtons();
        // The pop-up comes whatever TanChuang says; declined, nothing is posted, and without
        // GbtanChuang the run is not reset for retyping.
        App::GbtanChuang = false;
        BoxAnswerer answer(false);
        w.slotDelay2();
        QCOMPARE(answer.seen, 1);
        QCOMPARE(w.resultRow, 4); // the finished free row stays
        QVERIFY(w.findChild<QTextEdit*>("textEdit2")->isReadOnly());
        const QString line = QApplication::clipboard()->text();
        QVERIFY2(line.endsWith(App::AppTitle + QStringLiteral(" 自由模式")), qPrintable(line));
        QCOMPARE(verifyResultLine(line, false, false).outcome, LineCheck::Genuine);

        // A second stop of the same run does nothing; nor does a stop before anything is typed,
        // which still uses up the run's end.
        QApplication::clipboard()->clear();
        w.slotDelay2();
        QCOMPARE(w.resultRow, 4);
        w.Reset();
        const int row = w.resultRow;
        w.slotDelay2();
        setUpWorkedRun(w, 0);
        w.computeResults();
        w.slotDelay2();
        QCOMPARE(w.resultRow, row);
        QVERIFY(QApplication::clipboard()->text().isEmpty());
    }

    void checkCommand_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("message");
        RunResult run;
        run.segmentHeader = QStringLiteral("第3段");
        run.cells = QStringList({"190.00/200.00", "8.33", "2.50", "100", "00:30.00", "10", "4", "1", "250", "20",
                                 "96.00%", "92.31%", "2", "40.00%", "1"});
        run.wrongCount = 1;
        run.wrongRefChars = QStringLiteral("晓");
        run.wrongTypedChars = QStringLiteral("小");
        LineSettings settings;
        settings.appTitle = App::AppTitle;
        const QString genuine = buildResultLine(run, settings, RunEnd::FollowOrBlind).resultText;
        QString tampered = genuine;
        tampered.replace(QStringLiteral("击键8.33"), QStringLiteral("击键9.33"));
        QTest::addRow("genuine, blanks around") << "\n  " + genuine + "  \n" << "成绩为真！";
        QTest::addRow("tampered") << tampered << "成绩为假！";
        QTest::addRow("marker without check field") << "第1段 速度100.00 Tavrel跟打器v1.36" << "成绩为假！";
        QTest::addRow("garbage") << "<b>hello</b> &amp; 校检:abcde" << "只能识别Tavrel跟打器成绩！";
        QTest::addRow("empty clipboard") << QString() << "只能识别Tavrel跟打器成绩！";
    }

    void checkCommand()
    {
        QFETCH(QString, clipboard);
        QApplication::clipboard()->setText(clipboard);
        BoxAnswerer answer(true);
        m_window->checkSlot();
        QCOMPARE(answer.seen, 1);
        QTEST(answer.text, "message");
        QCOMPARE(answer.format, Qt::PlainText);
    }

    void recordDayChange_data()
    {
        QTest::addColumn<QDateTime>("later");
        QTest::addColumn<bool>("reset");
        const QDate day(2024, 3, 9);
        QTest::addRow("next second, same day") << QDateTime(day, QTime(23, 59, 59)) << false;
        QTest::addRow("midnight") << QDateTime(day.addDays(1), QTime(0, 0, 0)) << true;
        QTest::addRow("clock set back a day") << QDateTime(day.addDays(-1), QTime(12, 0)) << true;
    }

    void recordDayChange()
    {
        QFETCH(QDateTime, later);
        QFETCH(bool, reset);
        const QDate day(2024, 3, 9);
        frmMain& w = *m_window;
        App::Jilu = 1000;
        App::TempJilu = 50;
        App::Day = TypingRecord::dayText(day.addDays(-2));
        App::Day2 = TypingRecord::dayText(day);
        QDateTime now(day, QTime(23, 59, 58));
        w.m_record = TypingRecord(CoreSettings::recordStore(), [&now] { return now; });
        w.m_record.checkDay();
        w.refreshRecordLabel();
        QCOMPARE(w.labRecord->text(), QStringLiteral("打字记录: 50/1000/3天"));
        QCOMPARE(w.labRecord->toolTip(),
                 QStringLiteral("今日跟打:50字\n总跟打数:1000字\n记录天数:3天\n平均每天:333字"));

        now = later;
        w.qtimeSlot();
        QCOMPARE(App::TempJilu, reset ? 0 : 50);
        QCOMPARE(App::Day2, TypingRecord::dayText(reset ? later.date() : day));
        QCOMPARE(storedRecord("TempJilu").toInt(), reset ? 0 : 50);
        QCOMPARE(w.labRecord->text(), QStringLiteral("打字记录: %1/1000/3天").arg(reset ? 0 : 50));
        QCOMPARE(App::Jilu, 1000);
        // Later ticks on the same date change nothing more.
        App::TempJilu = 7;
        w.qtimeSlot();
        QCOMPARE(App::TempJilu, 7);
    }

    // Each clearing command asks first; "no" keeps everything, "yes" clears and saves.
    void clearingCommands()
    {
        frmMain& w = *m_window;
        setUpWorkedRun(w, 0);
        w.finished = true;
        for (int row = 0; row < 3; ++row) { // two finished rows and the current, finished run
            w.resultRow = row;
            w.computeResults();
            w.fillResultRow();
        }
        w.resultView->setColumnWidth(0, 130);
        App::Jilu = 1000;
        App::TempJilu = 50;
        App::Totalti = 400.0;
        App::Totalco = 1500;
        App::writeStats();
        for (bool yes : {false, true}) {
            BoxAnswerer table(yes);
            w.qkSlot();
            QCOMPARE(table.text, QStringLiteral("是否清空成绩栏？"));
            QCOMPARE(w.resultModel->rowCount(), yes ? 0 : 3);
            QCOMPARE(w.resultRow, yes ? 0 : 2);
            QCOMPARE(w.resultView->columnWidth(0), yes ? 90 : 130);
            BoxAnswerer record(yes);
            w.jlSlot();
            QCOMPARE(record.text, QStringLiteral("是否清空打字记录？"));
            QCOMPARE(App::Jilu, yes ? 0 : 1000);
            QCOMPARE(App::TempJilu, yes ? 0 : 50);
            QCOMPARE(storedRecord("Jilu").toInt(), yes ? 0 : 1000);
            BoxAnswerer totals(yes);
            w.zdSlot();
            QCOMPARE(totals.text, QStringLiteral("是否清空置顶成绩栏？"));
            QCOMPARE(storedRecord("Totalco").toInt(), yes ? 0 : 1500);
        }
        QCOMPARE(w.labRecord->text(), QStringLiteral("打字记录: "));
        QCOMPARE(buttonText(&w, "button4"), QStringLiteral("平均击键:"));
        // The next finished run shows averages from the new totals.
        App::Totalti = 20.0;
        App::Totalco = 50;
        App::Totaljs = 100;
        w.refreshTotals();
        QCOMPARE(buttonText(&w, "button5"), QStringLiteral("平均码长: 2.00"));
    }

    // The generated default code file, end to end: hints as typing goes on, the theoretical length.
    void defaultCodeFile()
    {
        const QString generated = qEnvironmentVariable("TAVREL_BUILD_DIR") + QStringLiteral("/编码文件/86.txt");
        QVERIFY2(QFile::copy(generated, QStringLiteral("编码文件/86.txt")), qPrintable(generated));
        App::BianMa = QStringLiteral("86.txt");
        App::BianMa2 = true;
        CodeFile oracle;
        QVERIFY(oracle.open(QStringLiteral("编码文件/86.txt")));
        const QString codeWo = oracle.codeOf(QStringLiteral("我"));
        const QString codeMen = oracle.codeOf(QStringLiteral("们"));
        QVERIFY(!codeWo.isEmpty() && !codeMen.isEmpty());

        auto w = std::make_unique<frmMain>(); // reads the code file as it opens
        setPanes(*w, QStringLiteral("我们"), QString());
        w->getfirstbmts();
        QCOMPARE(w->labCodeHint->text(), codeHint(QStringLiteral("我"), codeWo));
        setPanes(*w, QStringLiteral("我们"), QStringLiteral("我"));
        w->spellFun();
        QCOMPARE(w->labCodeHint->text(), codeHint(QStringLiteral("们"), codeMen));
        // Everything typed: no next character, and no read past the end.
        setPanes(*w, QStringLiteral("我们"), QStringLiteral("我们"));
        w->spellFun();
        QCOMPARE(w->labCodeHint->text(), QStringLiteral("编码提示: "));
        w->passage = passage100();
        w->mcSlot();
        QCOMPARE(buttonText(w.get(), "button6"),
                 QStringLiteral("理论码长:") + QString::number(oracle.codedLength(w->passage) / 100.0, 'f', 2));
    }

    void codeHintSwitches_data()
    {
        QTest::addColumn<bool>("hintOn");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("shown");
        QTest::addRow("hint on") << true << int(FollowTyping) << true;
        QTest::addRow("hint off") << false << int(FollowTyping) << false;
        QTest::addRow("free mode") << true << int(FreeTyping) << false;
    }

    void codeHintSwitches()
    {
        QFETCH(bool, hintOn);
        QFETCH(int, mode);
        QFETCH(bool, shown);
        // The last single-character line wins; a word that begins with the character never matches.
        writeUtf8(QStringLiteral("编码文件/small.txt"), QStringLiteral("们\twux\n们的\twrrr\n们\twu\t注释\n"));
        App::BianMa = QStringLiteral("small.txt");
        App::BianMa2 = hintOn;
        auto w = std::make_unique<frmMain>();
        w->mode = mode;
        setPanes(*w, QStringLiteral("我们的"), QStringLiteral("我"));
        w->spellFun();
        QCOMPARE(w->labCodeHint->text(), shown ? codeHint(QStringLiteral("们"), "wu") : QStringLiteral("编码提示: "));
    }

    // A code-file name with folders in it is read from the code folder only.
    void codeFileNameStaysInFolder()
    {
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
        QCOMPARE(w->labCodeHint->text(), codeHint(QStringLiteral("我"), "inside"));
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

        // Free mode and an empty passage leave the button as it is.
        button6->setText(QStringLiteral("理论码长:"));
        w->mode = FreeTyping;
        w->mcSlot();
        QCOMPARE(button6->text(), QStringLiteral("理论码长:"));
        w->mode = FollowTyping;
        w->passage.clear();
        w->mcSlot();
        QCOMPARE(button6->text(), QStringLiteral("理论码长:"));
    }

private:
    // The panes as a finished run leaves them, without the typing pane's change handling.
    static void setPanes(frmMain& w, const QString& reference, const QString& typed)
    {
        auto* ref = w.findChild<QTextEdit*>("textEdit");
        auto* typing = w.findChild<QTextEdit*>("textEdit2");
        const QSignalBlocker refBlock(ref);
        const QSignalBlocker typedBlock(typing);
        ref->setPlainText(reference);
        typing->setPlainText(typed);
    }

    // The worked run: 100 counted characters in 3000 ticks, 250 keys, `wrong` wrong characters.
    static void setUpWorkedRun(frmMain& w, int wrong = 1)
    {
        const QString passage = passage100();
        QString typed = passage;
        w.wrongRefChars.clear();
        w.wrongTypedChars.clear();
        for (int i = 0; i < wrong; ++i) {
            w.wrongRefChars += passage.at(50 + i);
            w.wrongTypedChars += QChar(0x4E00 + i); // 一 and on: not in the passage
            typed[50 + i] = QChar(0x4E00 + i);
        }
        w.loadArticle(passage);
        setPanes(w, passage, typed);
        w.typedCount = 100;
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

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<frmMain> m_window;
};

QTEST_MAIN(TestResultsWindow)
#include "test_results_window.moc"
