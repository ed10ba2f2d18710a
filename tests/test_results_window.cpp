// The main window's results side, after runs typed into the real panes: table cells and buttons, the
// result line on the clipboard, the free run's end, the check command, the clearing commands, the code
// hint and the theoretical code length. The figures' arithmetic and the code file are the core's.
#include "app/core/app.h"
#include "testsupport.h"
#include "typing/core/resultline.h"

using namespace ts;

namespace {

void writeUtf8(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

QString codeHint(const QString& character, const QString& code)
{
    return QStringLiteral("编码提示: %1 <font color='red';><b>%2</b></font>").arg(character, code);
}

const QString Passage = QStringLiteral("abcdefghijklmnopqrst");

} // namespace

class TestResultsWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_f;

    // Types Passage with its 11th character wrong (`wrong`) and returns the result line.
    QString typeRun(bool wrong)
    {
        QString typed = Passage;
        if (wrong)
            typed[10] = QLatin1Char('X');
        m_f->type(typed);
        return m_f->waitLine();
    }

private slots:
    void initTestCase() { App::initResources(); }
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QDir().mkpath(QStringLiteral("编码文件"));
    }
    void cleanup() { m_f.reset(); }

    void followRun_data()
    {
        QTest::addColumn<bool>("live");
        QTest::addColumn<bool>("wrong");
        QTest::addRow("live figures") << true << true;
        QTest::addRow("figures only at the end") << false << true;
        QTest::addRow("no wrong character") << true << false;
    }

    void followRun()
    {
        QFETCH(bool, live);
        QFETCH(bool, wrong);
        App::ShiShi = live;
        App::Totaljs = 50;
        App::Totalti = 10.0;
        App::Totalco = 20;
        m_f->open();
        m_f->lay(Passage);
        const QString line = typeRun(wrong);
        QVERIFY(m_f->typing()->isReadOnly());

        // The first key starts the run and is not counted.
        const QString keys = QString::number(Passage.size() - 1);
        QCOMPARE(m_f->cell(0, "字数"), QStringLiteral("20"));
        QCOMPARE(m_f->cell(0, "键数"), keys);
        QCOMPARE(m_f->cell(0, "错字"), wrong ? QStringLiteral("1") : QStringLiteral("0"));
        for (const char* header : {"回改", "退格", "回车", "选重"})
            QCOMPARE(m_f->cell(0, header), QStringLiteral("0"));
        // With a wrong character the speed shows penalty and plain speed, in the button too.
        const QString speed = m_f->cell(0, "速度");
        QVERIFY2(QRegularExpression(wrong ? "^\\d+\\.\\d\\d/\\d+\\.\\d\\d$" : "^\\d+\\.\\d\\d$").match(speed).hasMatch(),
                 qPrintable(speed));
        QCOMPARE(m_f->button("button")->text(), QStringLiteral("速度:") + speed);
        QCOMPARE(m_f->button("button2")->text(), QStringLiteral("击键:") + m_f->cell(0, "击键"));

        // Totals of finished runs, saved to the store, and their averages.
        QCOMPARE(App::Totaljs, 50 + keys.toInt());
        QCOMPARE(storedRecord("Totaljs").toInt(), 50 + keys.toInt());
        QVERIFY(App::Totalti > 10.0);
        QVERIFY2(m_f->button("button4")->text().startsWith(QStringLiteral("平均击键: ")),
                 qPrintable(m_f->button("button4")->text()));

        // The line carries the segment, the speed of the table, the count and the errors, and verifies.
        QVERIFY2(line.startsWith(QStringLiteral("第1段 速度") + speed + QStringLiteral(" ")), qPrintable(line));
        QCOMPARE(line.contains(QStringLiteral(" 错字1 错情[k√ X×]")), wrong);
        QCOMPARE(verifyResultLine(line, App::ShuRuFa2, App::QianMing2).outcome, LineCheck::Genuine);
    }

    // A retype while the row is on show (the hot key still works) ends the chain: no totals, no line.
    void retypeDuringEndWaitDropsTheRun()
    {
        App::ShiShi = false;
        m_f->open();
        m_f->lay(Passage);
        // Polled from within the end's own wait, as a hot key press would arrive.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (m_f->typing()->isReadOnly()) {
                poll.stop();
                m_f->w().Reset();
            }
        });
        poll.start(2);
        m_f->type(Passage);
        QTRY_VERIFY(!poll.isActive());
        QTest::qWait(600);
        QCOMPARE(App::Totaljs, 0);
        QVERIFY(QApplication::clipboard()->text().isEmpty());
    }

    // A built-in drill typed whole may enter the ranking; a passage from the clipboard may not.
    void uploadEligibility()
    {
        m_f->open();
        m_f->action({"发文", "常用单字前五百"})->trigger();
        const QString drill = m_f->reference()->toPlainText();
        QCOMPARE(drill.size(), 500);
        m_f->commit(drill);
        QVERIFY(!m_f->waitLine().isEmpty());
        QVERIFY(App::CanUpload);

        m_f->lay(Passage);
        typeRun(false);
        QVERIFY(!App::CanUpload);
    }

    void freeRunEndsOnce()
    {
        App::Pattern = FreeTyping;
        App::GbtanChuang = false;
        m_f->open();
        m_f->lay(Passage);
        m_f->type(QStringLiteral("abcd"));
        QTRY_COMPARE(m_f->cell(0, "字数"), QStringLiteral("4")); // the live figures, from the clock's ticks
        // The pop-up comes whatever TanChuang says; declined, nothing is posted, and without
        // GbtanChuang the run is not reset for retyping.
        BoxAnswerer answer(false);
        m_f->w().slotDelay2();
        QCOMPARE(answer.seen, 1);
        QVERIFY(m_f->typing()->isReadOnly());
        const QString line = QApplication::clipboard()->text();
        QVERIFY2(line.endsWith(App::AppTitle + QStringLiteral(" 自由模式")), qPrintable(line));
        QCOMPARE(verifyResultLine(line, false, false).outcome, LineCheck::Genuine);

        // A second stop of the same run does nothing; nor does a stop before anything is typed.
        QApplication::clipboard()->clear();
        BoxAnswerer none(false);
        m_f->w().slotDelay2();
        m_f->w().Reset();
        m_f->w().slotDelay2();
        QTest::qWait(100);
        QCOMPARE(none.seen, 0);
        QVERIFY(QApplication::clipboard()->text().isEmpty());
    }

    // The check command tells a genuine line from a changed one, whatever blanks surround it.
    void checkCommand()
    {
        m_f->open();
        m_f->lay(Passage);
        const QString genuine = typeRun(true);
        QString tampered = genuine;
        tampered.replace(QStringLiteral(" 字数20 "), QStringLiteral(" 字数21 "));
        const QList<QPair<QString, QString>> rows{
            {"\n  " + genuine + "  \n", "成绩为真！"},
            {tampered, "成绩为假！"},
            {"<b>hello</b> &amp; 校检:abcde", "只能识别Tavrel跟打器成绩！"},
        };
        for (const auto& row : rows) {
            QApplication::clipboard()->setText(row.first);
            BoxAnswerer answer(true);
            m_f->w().checkSlot();
            QCOMPARE(answer.seen, 1);
            QCOMPARE(answer.text, row.second);
            QCOMPARE(answer.format, Qt::PlainText);
        }
    }

    // Each clearing command asks first; "no" keeps everything, "yes" clears and saves.
    void clearingCommands()
    {
        App::Jilu = 1000;
        App::TempJilu = 50;
        App::Totalti = 400.0;
        App::Totalco = 1500;
        App::writeStats();
        m_f->open();
        m_f->lay(Passage);
        for (int run = 0; run < 2; ++run) {
            typeRun(true);
            QApplication::clipboard()->clear();
            m_f->w().Reset();
        }
        const int jilu = App::Jilu;
        for (bool yes : {false, true}) {
            BoxAnswerer table(yes);
            m_f->w().qkSlot();
            QCOMPARE(table.text, QStringLiteral("是否清空成绩栏？"));
            QCOMPARE(m_f->table()->rowCount(), yes ? 0 : 2);
            BoxAnswerer record(yes);
            m_f->w().jlSlot();
            QCOMPARE(record.text, QStringLiteral("是否清空打字记录？"));
            QCOMPARE(App::Jilu, yes ? 0 : jilu);
            QCOMPARE(storedRecord("Jilu").toInt(), yes ? 0 : jilu);
            BoxAnswerer totals(yes);
            m_f->w().zdSlot();
            QCOMPARE(totals.text, QStringLiteral("是否清空置顶成绩栏？"));
            QCOMPARE(storedRecord("Totalco").toInt(), yes ? 0 : App::Totalco);
        }
        QCOMPARE(m_f->statusText("打字记录"), QStringLiteral("打字记录: "));
        QCOMPARE(m_f->button("button4")->text(), QStringLiteral("平均击键:"));
        // The next run books into the first row again.
        typeRun(false);
        QCOMPARE(m_f->table()->rowCount(), 1);
    }

    void codeHintSwitches_data()
    {
        QTest::addColumn<bool>("hintOn");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("length"); // the theoretical code length button after a click
        QTest::addRow("hint on") << true << int(FollowTyping) << true << "理论码长:1.40";
        QTest::addRow("hint off") << false << int(FollowTyping) << false << "理论码长:1.40";
        QTest::addRow("free mode leaves the length") << true << int(FreeTyping) << false << "理论码长:";
    }

    void codeHintSwitches()
    {
        QFETCH(bool, hintOn);
        QFETCH(int, mode);
        QFETCH(bool, shown);
        // The last single-character line wins; a word that begins with the character never matches.
        writeUtf8(QStringLiteral("编码文件/small.txt"),
                  QStringLiteral("世界\tln\n我\tq\n们\twux\n们的\twrrr\n们\twu\t注释\n世\tan\n界\tlw\n"));
        App::BianMa = QStringLiteral("small.txt");
        App::BianMa2 = hintOn;
        App::Pattern = mode;
        m_f->open();
        m_f->lay(QStringLiteral("我们的世界"));
        m_f->button("button6")->click();
        QTEST(m_f->button("button6")->text(), "length");
        m_f->commit(QStringLiteral("我"));
        QCOMPARE(m_f->statusText("编码提示"), shown ? codeHint(QStringLiteral("们"), "wu") : QStringLiteral("编码提示: "));
        // Everything typed: no next character, and no read past the end.
        m_f->commit(QStringLiteral("们的世界"));
        QCOMPARE(m_f->statusText("编码提示"), QStringLiteral("编码提示: "));
    }

    // A code-file name with folders in it is read from the code folder only.
    void codeFileNameStaysInFolder()
    {
        writeUtf8(QStringLiteral("outside.txt"), QStringLiteral("我\tq\n"));
        App::BianMa = QStringLiteral("../outside.txt");
        App::BianMa2 = true;
        m_f->open();
        m_f->lay(QStringLiteral("我们"));
        QCOMPARE(m_f->statusText("编码提示"), QStringLiteral("编码提示: "));
        writeUtf8(QStringLiteral("编码文件/outside.txt"), QStringLiteral("我\tinside\n"));
        m_f->open();
        m_f->lay(QStringLiteral("我们"));
        QCOMPARE(m_f->statusText("编码提示"), codeHint(QStringLiteral("我"), "inside"));
    }
};

QTEST_MAIN(TestResultsWindow)
#include "test_results_window.moc"
