// The input method's code table and candidate engine on small tables written here.
#include "app/core/app.h"
#include "input/core/candidates.h"
#include "input/core/cfpicture.h"
#include "input/core/codetable.h"
#include "input/core/punctuation.h"
#include "testsupport.h"

#include <QTextCodec>

namespace {

const QString kTable = QStringLiteral("ab\t甲\nabc\t乙\nabd\t丙\nb\t丁\nab\t甲\nAb\t大\nno tab here\r\n"
                                      "abcd\t丁丁\tignored\naaab\t七\naaab\t戈\nc\t以\nxyz\t某\nz\t子\n") +
                       QStringLiteral("mm\t") + QString(60, QChar(0x957F)) + QStringLiteral("\n");

QString words(const CodeTable& table, const std::vector<int>& entries)
{
    QStringList out;
    for (int e : entries)
        out << table.word(e).toString();
    return out.join('|');
}

QString shown(const CandidateEngine& engine)
{
    QStringList labels = engine.labels();
    while (!labels.isEmpty() && labels.last().isEmpty())
        labels.removeLast();
    return labels.join('|');
}

} // namespace

class TestCodeTable : public QObject
{
    Q_OBJECT

    CodeTable m_table;

private slots:
    void initTestCase() { m_table.load(kTable, "test"); }

    // Prefix matching is the fuzz target's; this reads the lines: file order, duplicates, third field, case.
    void lookup()
    {
        QCOMPARE(words(m_table, m_table.lookup(QStringLiteral("a"))), QStringLiteral("甲|乙|丙|甲|丁丁|七|戈"));
        QCOMPARE(words(m_table, m_table.lookup(QStringLiteral("Ab"))), QStringLiteral("大"));
        QCOMPARE(m_table.skippedLines(), 1);
    }

    // Read through the common text reader, whose decodings have their own cases.
    void openFile()
    {
        TestDir dir;
        QDir().mkpath("mb");
        const QByteArray bytes = QTextCodec::codecForName("GB18030")->fromUnicode(kTable);
        QFile file(CodeTable::pathFor("表"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        CodeTable table;
        QVERIFY(table.open(CodeTable::pathFor("表")));
        QCOMPARE(words(table, table.lookup(QStringLiteral("a"))), words(m_table, m_table.lookup(QStringLiteral("a"))));
        QVERIFY(!table.open(CodeTable::pathFor("missing")));
        QVERIFY(table.lookup(QStringLiteral("a")).empty());
    }

    // The tables and the code files' editions are listed by the names that open them: a file of
    // another letter case of ".txt" is left out, one with ".txt" twice keeps the first.
    void listedByOpeningNames()
    {
        TestDir dir;
        for (const QString folder : {"mb", "编码文件"}) {
            QDir().mkpath(folder);
            for (const QString file : {"五笔.txt", "Big.TXT", "x.txt.txt", "note.dat"})
                QVERIFY(App::writeFile(folder + '/' + file, "a\tb\n"));
        }
        QCOMPARE(CodeTable::names(dir.path()), QStringList({"x.txt", "五笔"}));
        QCOMPARE(CfLookup::editions(dir.path()), QStringList({"x.txt", "五笔"}));
        QVERIFY(QFile::exists(CodeTable::pathFor("x.txt")) && QFile::exists(CfLookup::editionFile("x.txt", ".txt")));
    }

    // Paging by a script of 'N' (next) and 'P' (previous page), each step noting first label and next index.
    void pages_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::addColumn<int>("matches");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("steps");
        QTest::addRow("10 of 25") << 10 << 25 << "NNNPPP" << "1.w1@10 1.w11@20 1.w21@25 1.w21@25 1.w11@20 1.w1@10 1.w1@10";
        QTest::addRow("1 of 3") << 1 << 3 << "NNNP" << "1.w1@1 1.w2@2 1.w3@3 1.w3@3 1.w2@2";
        QTest::addRow("back from a full third page")
            << 5 << 22 << "NNPNNNPP"
            << "1.w1@5 1.w6@10 1.w11@15 1.w6@10 1.w11@15 1.w16@20 1.w21@22 1.w16@20 1.w11@15";
        QTest::addRow("0 shows nothing, back does nothing") << 0 << 3 << "PN" << "@0 @0 @0";
        QTest::addRow("above 10 is 10") << 12 << 12 << "N" << "1.w1@10 1.w11@12";
    }
    void pages()
    {
        QFETCH(int, pageSize);
        QFETCH(int, matches);
        QFETCH(QString, script);
        QString text;
        for (int i = 1; i <= matches; ++i)
            text += QStringLiteral("p\tw%1\n").arg(i);
        CodeTable table;
        table.load(text);
        CandidateEngine engine;
        engine.setTable(&table);
        engine.setSettings(InputSettings{pageSize});
        engine.setCode("p");
        engine.select();
        QStringList steps = {engine.labels().at(0) + '@' + QString::number(engine.nextIndex())};
        for (QChar c : script) {
            c == 'N' ? engine.nextPage() : engine.previousPage();
            steps << engine.labels().at(0) + '@' + QString::number(engine.nextIndex());
        }
        QTEST(steps.join(' '), "steps");
    }

    // Keys fed to the engine: letters and the six marks join the code, ' ' is Space, '#' Return, a
    // digit picks a candidate. Flags: z repeat, f ";'" select, d marks commit, k Space types the
    // code, h Return types the code, n code hints, o hints only while the first match is open.
    void rules_data()
    {
        QTest::addColumn<QString>("lengths"); // commit, carry, clear, page size
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("commits");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("labels");
        QTest::addColumn<int>("selections");
        const QString d = "4 4 4 10";
        QTest::addRow("unique at three waits") << d << "zfd" << "xyz" << "" << "xyz" << "1.某" << 0;
        QTest::addRow("page of one is not unique") << "1 4 4 1" << "zfd" << "ab" << "" << "ab" << "1.甲" << 0;
        QTest::addRow("no number commits at any length") << "x 4 4 10" << "zfd" << "x" << "某" << "" << "" << 0;
        QTest::addRow("four without candidate clear") << d << "zfd" << "qqqq" << "" << "" << "" << 0;
        QTest::addRow("fifth letter carries") << d << "zfd" << "aaabc" << "七" << "c" << "1.以" << 0;
        QTest::addRow("fifth mark is not carried") << d << "z" << "aaab," << "" << "" << "" << 0;
        QTest::addRow("fifth mark commits with the mark") << d << "zfd" << "aaab," << "七|，" << "" << "" << 0;
        QTest::addRow("carry below one ends") << "4 0 9 10" << "zfd" << "qq" << "" << "q" << "" << 0;
        QTest::addRow("clear later") << "4 4 9 10" << "zfd" << "qqq" << "" << "qqq" << "" << 0;
        QTest::addRow("z repeats the last commit") << d << "zfd" << "abcdz" << "丁丁" << "z" << "1.丁丁" << 0;
        QTest::addRow("z repeat, Space commits again") << d << "zfd" << "abcdz " << "丁丁|丁丁" << "" << "" << 0;
        QTest::addRow("z without a commit is a code") << d << "zfd" << "z" << "" << "z" << "1.子" << 0;
        QTest::addRow("z repeat off") << d << "fd" << "abcdz" << "丁丁" << "z" << "1.子" << 0;
        QTest::addRow("Space types the code") << d << "zfdk" << "q " << "q" << "" << "" << 0;
        QTest::addRow("Space clears the code") << d << "zfd" << "q " << "" << "" << "" << 0;
        QTest::addRow("Return clears the code") << d << "zfd" << "ab#" << "" << "" << "" << 0;
        QTest::addRow("digit 0 is the tenth") << "4 4 4 10" << "zfd" << "a0" << "" << "a" << "1.甲|2.乙|3.丙|4.甲|5.丁丁|6.七|7.戈" << 1;
        QTest::addRow("digit past the page counts only") << d << "zfd" << "xy5" << "" << "xy" << "1.某" << 1;
        QTest::addRow("; selects the second") << d << "zfd" << "ab;" << "乙" << "" << "" << 1;
        QTest::addRow("' selects the third") << d << "zfd" << "ab'" << "丙" << "" << "" << 1;
        QTest::addRow("; commits first and mark") << d << "zd" << "ab;" << "甲|；" << "" << "" << 0;
        QTest::addRow(", commits first and mark") << d << "zfd" << "ab," << "甲|，" << "" << "" << 0;
        QTest::addRow("; with neither switch stays") << d << "z" << "ab;" << "" << "ab;" << "" << 0;
        QTest::addRow("; alone") << d << "zfd" << ";" << "；" << "" << "" << 0;
        QTest::addRow("' alone") << d << "zfd" << "'" << "’" << "" << "" << 0;
        QTest::addRow("\\ alone") << d << "zfd" << "\\" << "、" << "" << "" << 0;
        // A label shows 50 characters and "…"; the commit is the whole word, and so is its z repeat.
        const QString word(60, QChar(0x957F));
        QTest::addRow("long word cut on its label") << d << "zfd"
                                                    << "mm"
                                                    << ""
                                                    << "mm"
                                                    << "1." + word.left(48) + "…" << 0;
        QTest::addRow("long word commits whole") << d << "zfd"
                                                 << "mm z" << word << "z"
                                                 << "1." + word.left(48) + "…" << 0;
        QTest::addRow("hint remainders") << d << "zfdn" << "ab" << "" << "ab" << "1.甲|2.乙c|3.丙d|4.甲|5.丁丁cd" << 0;
        QTest::addRow("no hints while the first is complete") << d << "zfdno" << "ab" << "" << "ab" << "1.甲|2.乙|3.丙|4.甲|5.丁丁" << 0;
        QTest::addRow("hints while the first is open") << d << "zfdno" << "a" << "" << "a" << "1.甲b|2.乙bc|3.丙bd|4.甲b|5.丁丁bcd|6.七aab|7.戈aab" << 0;
    }
    void rules()
    {
        QFETCH(QString, lengths);
        QFETCH(QString, flags);
        QFETCH(QString, keys);
        const QStringList n = lengths.split(' ');
        InputSettings s;
        s.commitLength = InputSettings::number(n.at(0));
        s.carryLength = InputSettings::number(n.at(1));
        s.clearLength = InputSettings::number(n.at(2));
        s.pageSize = InputSettings::number(n.at(3));
        s.zRepeat = flags.contains('z');
        s.markSelects = flags.contains('f');
        s.markCommits = flags.contains('d');
        s.spaceAction = flags.contains('k') ? "上屏英文" : "清屏";
        s.returnAction = flags.contains('h') ? "上屏英文" : "清屏";
        s.hints = flags.contains('n');
        s.hintsOnlyOpen = flags.contains('o');
        CandidateEngine engine;
        engine.setTable(&m_table);
        engine.setSettings(s);
        QStringList commits;
        int selections = 0;
        engine.setInserter([&](const QString& text) { commits << text; });
        engine.setSelectionCounter([&] { ++selections; });
        for (QChar c : keys) {
            if (c == ' ')
                engine.spaceOnCode();
            else if (c == '#')
                engine.returnKey();
            else if (c.isDigit())
                engine.setChinese(c == '0' ? 9 : c.digitValue() - 1);
            else
                engine.typeCodeKey(c);
        }
        QTEST(commits.join('|'), "commits");
        QTEST(engine.code(), "code");
        QTEST(shown(engine), "labels");
        QTEST(selections, "selections");
    }

    // Each mark as the panel shows and types it: its key's caption in the ASCII modes and in
    // Chinese mode, and what two presses type in Chinese mode (a code mark alone, as the engine
    // types it; the double quote pairs).
    void punctuation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("ascii");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("inCode");
        QTest::addRow(";") << ";" << "btnOther14" << ";" << "；" << "；；" << true;
        QTest::addRow("'") << "'" << "btnOther22" << "'" << "‘" << "’’" << true;
        QTest::addRow(",") << "," << "btnOther17" << "," << "，" << "，，" << true;
        QTest::addRow(".") << "." << "btnOther18" << "." << "。" << "。。" << true;
        QTest::addRow("/") << "/" << "btnOther12" << "/" << "/" << "//" << true;
        QTest::addRow("\\") << "\\" << "btnOther13" << "\\" << "、" << "、、" << true;
        QTest::addRow("?") << "?" << "btnOther15" << "?" << "？" << "？？" << false;
        QTest::addRow("!") << "!" << "btnOther1" << "!" << "！" << "！！" << false;
        QTest::addRow("(") << "(" << "btnOther20" << "(" << "（" << "（（" << false;
        QTest::addRow(")") << ")" << "btnOther21" << ")" << "）" << "））" << false;
        QTest::addRow(":") << ":" << "" << "" << "" << "：：" << false;
        QTest::addRow("quote") << "\"" << "" << "" << "" << "“”" << false;
        QTest::addRow("@") << "@" << "" << "" << "" << "··" << false;
        QTest::addRow("$") << "$" << "" << "" << "" << "￥￥" << false;
        QTest::addRow("^") << "^" << "" << "" << "" << "…………" << false;
        QTest::addRow("_") << "_" << "" << "" << "" << "————" << false;
        QTest::addRow("<") << "<" << "" << "" << "" << "《《" << false;
        QTest::addRow(">") << ">" << "" << "" << "" << "》》" << false;
    }
    void punctuation()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(bool, inCode);
        const PunctuationMark* mark = Punctuation::forText(text);
        QVERIFY(mark);
        QCOMPARE(Punctuation::isCodeMark(text.at(0)), inCode);
        QString typed;
        bool open = false;
        CandidateEngine engine;
        engine.setInserter([&](const QString& t) { typed += t; });
        for (int press = 0; press < 2; ++press) {
            if (inCode)
                engine.typeCodeKey(text);
            else
                typed += mark->typedForm(open);
        }
        QTEST(typed, "typed");
        if (key.isEmpty())
            return;
        QCOMPARE(Punctuation::forKey(key), mark);
        QTEST(mark->caption(false), "ascii");
        QTEST(mark->caption(true), "chinese");
    }
};

QTEST_GUILESS_MAIN(TestCodeTable)
#include "test_codetable.moc"
