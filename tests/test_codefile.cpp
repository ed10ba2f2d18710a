// Code files as the typing window indexes them and as the code look-up tools read them, line by line.
#include "app/core/app.h"
#include "input/core/cfpicture.h"
#include "input/core/codeannotation.h"
#include "testsupport.h"
#include "typing/core/codefile.h"

#include <QRegularExpression>
#include <QSet>
#include <QTextCodec>

#include <climits>

namespace {

CodeFile loaded(const QString& text)
{
    CodeFile file;
    file.load(text, QStringLiteral("test"));
    return file;
}

QString redBold(const QString& character, const QString& code)
{
    return character + " <font color='red';><b>" + code + "</b></font>";
}

} // namespace

class TestCodeFile : public QObject
{
    Q_OBJECT

private slots:
    void hint()
    {
        // The last single-character line wins, a word never matches, further fields are ignored, markup
        // shows as text; two characters outside the BMP share their high surrogate.
        const QString wide = QStringLiteral("\U00020000"), other = QStringLiteral("\U00020001");
        const CodeFile file = loaded(QStringLiteral("中\tk\n中\tkhk\n中国\tkhlg\n工\ta\t99\n<\tz&\n") + wide +
                                     "\tgaaa\n" + other + "\tgbbb\n");
        QCOMPARE(file.hintAt(QStringLiteral("中国"), 0), redBold("中", "khk"));
        QCOMPARE(file.hintAt(QStringLiteral("中国"), 1), QString());
        QCOMPARE(file.hintAt(QStringLiteral("中工"), 1), redBold("工", "a"));
        QCOMPARE(file.hintAt(QStringLiteral("中工"), 2), QString());
        QCOMPARE(file.hintAt(QStringLiteral("a<b"), 1), redBold("&lt;", "z&amp;"));
        const QString passage = QStringLiteral("中") + wide + other;
        QCOMPARE(file.hintAt(passage, 1), redBold(wide, "gaaa"));
        QCOMPARE(file.hintAt(passage, 3), redBold(other, "gbbb"));
        QCOMPARE(file.hintAt(passage, 2), QString());         // inside a pair: no character of its own
        QCOMPARE(file.hintAt(passage.left(2), 1), QString()); // half a pair at the end: no read past it

        // The label: null keeps its text (nothing typed), empty when off or in free mode.
        const QString ref = QStringLiteral("中工");
        QVERIFY(file.hintLabelAfterChange(ref, 0, true, false).isNull());
        QCOMPARE(file.hintLabelAfterChange(ref, 1, true, false), "编码提示: " + redBold("工", "a"));
        QCOMPARE(file.hintLabelAfterChange(ref, 1, false, false), QStringLiteral("编码提示: "));
        QCOMPARE(file.hintLabelAfterChange(ref, 1, true, true), QStringLiteral("编码提示: "));
        QCOMPARE(file.hintLabelForStart(ref, true, false), "编码提示: " + redBold("中", "khk"));
    }

    void badLinesSkippedAndCounted()
    {
        const CodeFile file = loaded(QStringLiteral("中\tk\nno tab here\n\tq\n\n国\tl\n\t\n"));
        QCOMPARE(file.lineCount(), 6);
        QCOMPARE(file.skippedLines(), 4);
        // The line with the empty entry text takes part neither in hints nor in the code length.
        QCOMPARE(file.hintAt(QStringLiteral("\t"), 0), QString());
        QCOMPARE(file.codedLength(QStringLiteral("中x国")), 3);
    }

    void codedLength_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("passage");
        QTest::addColumn<int>("expected");
        const QString chars = QStringLiteral("我\tq\n们\twu\n是\tj\n人\tw\n");
        // clang-format off
        QTest::addRow("character without code counts one") << chars << "我们是人好" << 6;
        QTest::addRow("word listed first is replaced whole") << "我们\ttrwu\n" + chars << "我们是我们" << 9;
        QTest::addRow("word listed after its characters never matches") << chars + "我们\ttr\n" << "我们是我们" << 7;
        QTest::addRow("passage ending inside a word") << "我们\ttr\n" + chars << "是我" << 2;
        QTest::addRow("longer word first") << "中华人民\tkwwn\n人民\twn\n中\tk\n" << "中华人民人民中" << 7;
        QTest::addRow("overlapping words: first listed wins") << "BC\t1\nAB\t22\nA\t3\nC\t4\n" << "ABC" << 2;
        QTest::addRow("same word twice in a row takes both") << "AA\tx\n" << "AAAAA" << 3;
        QTest::addRow("duplicate entry: first line counts") << "我\tqq\n我\tq\n" << "我我" << 4;
        QTest::addRow("case sensitive") << "a\tXY\n" << "Aa" << 3;
        QTest::addRow("code holding a later entry is replaced again") << "我\tab\nb\tccc\n" << "我" << 4;
        QTest::addRow("empty code deletes and joins") << "x\t\nAB\tz\n" << "AxB" << 1;
        QTest::addRow("match found down a chain of suffixes") << "abcdzq\t1\nbcdx\t1\ncdy\t1\ndz\t1\n" << "abcdyabcdz" << 7;
        // clang-format on
    }

    void codedLength()
    {
        QFETCH(QString, file);
        QFETCH(QString, passage);
        QTEST(loaded(file).codedLength(passage), "expected");
    }

    void theoreticalText()
    {
        // Ten characters that become 18.
        const CodeFile file = loaded(QStringLiteral("一\tgg\n二\tfg\n三\tdg\n四\tlh\n"));
        const QString passage = QStringLiteral("一二三四一二三四五六");
        QCOMPARE(file.theoreticalCodeLengthText(passage), QStringLiteral("理论码长:1.80"));
        QVERIFY(file.theoreticalCodeLengthText(passage, true).isNull());
        QVERIFY(file.theoreticalCodeLengthText(QString()).isNull());
        // No line at all keeps the button's text; a line without a code codes every character as one.
        QVERIFY(loaded(QString()).theoreticalCodeLengthText(passage).isNull());
        QCOMPARE(loaded(QStringLiteral("\n")).theoreticalCodeLengthText(passage), QStringLiteral("理论码长:1.00"));
    }

    void openFromDisk()
    {
        TestDir dir;
        CodeFile file;
        // A file made on Windows, GB18030 with CRLF, decoded as the text files are (decodings have their cases).
        QFile gb(QStringLiteral("gb.txt"));
        QVERIFY(gb.open(QIODevice::WriteOnly) &&
                gb.write(QTextCodec::codecForName("GB18030")->fromUnicode("中\tk\r\n国\tl\r\n")) > 0);
        gb.close();
        QVERIFY(file.open(QStringLiteral("gb.txt")));
        QCOMPARE(file.codeOf(QStringLiteral("中")) + QString::number(file.skippedLines()), QStringLiteral("k0"));

        // An edited file is seen at the next open; a copy keeps what it had; a failed open forgets all.
        QDir().mkpath(QStringLiteral("编码文件"));
        const QString path = CodeFile::pathFor(QStringLiteral("86.txt"));
        QVERIFY(App::writeFile(QStringLiteral("编码文件/86.txt"), QStringLiteral("中\tk\n")));
        QVERIFY(file.open(path));
        const CodeFile copy = file;
        QVERIFY(App::writeFile(path, QStringLiteral("中\tkhk\n国\tl\n")));
        QCOMPARE(file.codeOf(QStringLiteral("中")), QStringLiteral("k"));
        QVERIFY(file.open(path));
        QCOMPARE(file.codeOf(QStringLiteral("中")), QStringLiteral("khk"));
        QCOMPARE(copy.codeOf(QStringLiteral("中")), QStringLiteral("k"));
        QVERIFY(!file.open(QStringLiteral("missing.txt")) && !file.isOpen());
    }

    // Codes holding their own entry double the copy per line: past 50 times the passage or a million, no figure.
    void literalGrowthBounded()
    {
        const auto doubling = [](int lines, int passage) {
            return loaded(QStringLiteral("a\taa\n").repeated(lines)).codedLength(QString(passage, QLatin1Char('a')));
        };
        QCOMPARE(doubling(5, 10), 320);
        // Exactly 50 times the passage still has its figure.
        QCOMPARE(loaded(QStringLiteral("a\t") + QString(50, 'a')).codedLength(QString(10, 'a')), 500);
        const QRegularExpression unavailable(QStringLiteral("理论码长不可用"));
        QTest::ignoreMessage(QtDebugMsg, unavailable);
        QCOMPARE(doubling(6, 10), -1); // past 50 times
        QTest::ignoreMessage(QtDebugMsg, unavailable);
        QCOMPARE(doubling(5, 40000), -1); // past a million
    }

    // The generated file: one TAB per line, codes of typed letters, each entry once, longer entries first.
    void generatedDefaultFile()
    {
        const QString path = qEnvironmentVariable("TAVREL_BUILD_DIR") + QStringLiteral("/编码文件/86.txt");
        CodeFile file;
        QVERIFY2(file.open(path), qPrintable(path));
        QVERIFY(file.lineCount() > 50000);
        QCOMPARE(file.skippedLines(), 0);
        QCOMPARE(file.codeOf(QStringLiteral("工")), QStringLiteral("a"));
        QCOMPARE(file.codeOf(QStringLiteral("中")), QStringLiteral("k"));
        // Of two shortest codes, the first in order.
        QCOMPARE(file.codeOf(QStringLiteral("馬")), QStringLiteral("cggy"));
        QVERIFY(App::readTextFile(path).contains(QStringLiteral("\n跟踪\tkhkh\n")));
        const QRegularExpression typedCode(QStringLiteral("^[a-y]{1,4}$"));
        int previousLength = INT_MAX;
        QSet<QString> seen;
        for (const QString& line : App::readTextFile(path).split('\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.split('\t');
            const int length = fields.at(0).toUcs4().size();
            QVERIFY2(fields.size() == 2 && typedCode.match(fields.at(1)).hasMatch(), qPrintable(line));
            QVERIFY2(!seen.contains(fields.at(0)) && length <= previousLength, qPrintable(line));
            seen.insert(fields.at(0));
            previousLength = length;
        }
    }

    // The code look-up tools read code files in file order, with a growth cap of their own.
    void annotate_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("codeForm");
        QTest::addColumn<QString>("textCodeForm");
        const QString wordFirst = QStringLiteral("中国\tkhlg\n中\tk\n");
        const QString ten(10, 'a'), many(30000, 'a');
        // clang-format off
        // 中 still occurs in the code form, so every 中 of the text-plus-code form is rewritten.
        QTest::addRow("word first") << wordFirst << "中国中" << "khlg k " << "中k 国khlg 中k ";
        QTest::addRow("character first") << "中\tk\n中国\tkhlg\n" << "中国" << "k 国" << "中k 国";
        QTest::addRow("unknown kept") << wordFirst << "中a国。" << "k a国。" << "中k a国。";
        QTest::addRow("codes searched by later lines") << "中\tab\nb\tc\n" << "中" << "ac  " << "中abc  ";
        QTest::addRow("bad lines skipped") << "\tx\nno tab\n中\tk\t9\r\n" << "中" << "k " << "中k ";
        QTest::addRow("empty input") << wordFirst << "" << "" << "";
        // Stopped growth gives the input back: past 50 times the input, or past a million.
        QTest::addRow("self-feeding") << QStringLiteral("a\taa\n").repeated(24) << ten << ten << ten;
        QTest::addRow("a million") << QStringLiteral("a\t") + QString(39, 'a') << many << many << many;
        // The code form reaches the cap exactly, the text-plus-code form passes it.
        QTest::addRow("text-plus-code form past") << QStringLiteral("a\t") + QString(49, 'b') << "aaaa" << "aaaa" << "aaaa";
        // " b" meets the code form "a b " alone: its length, not the other form's, meets the cap of 100.
        const QString apart = QStringLiteral("x\ta\ny\tb\n b\t");
        QTest::addRow("code form at the cap") << apart + QString(97, 'c') << "xy" << "a" + QString(97, 'c') + "  " << "xa yb ";
        QTest::addRow("code form past the cap") << apart + QString(98, 'c') << "xy" << "xy" << "xy";
        // clang-format on
    }

    void annotate()
    {
        QFETCH(QString, file);
        QFETCH(QString, input);
        QFETCH(QString, codeForm);
        const Annotation result = CodeAnnotation::annotate(input, CodeAnnotation::parse(file));
        QCOMPARE(result.codeForm, codeForm);
        QTEST(result.textCodeForm, "textCodeForm");
        QCOMPARE(result.stopped, codeForm == input && !input.isEmpty());
    }

    void firstCodeAndFiles()
    {
        const QString file = QStringLiteral("中国\tkhlg\n中\tk\n中\tkhk\n");
        QCOMPARE(CodeAnnotation::firstCode(file, QStringLiteral("中")), QStringLiteral("k"));
        QCOMPARE(CodeAnnotation::firstCode(file, QStringLiteral("国")), QString());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("编码文件打不开")));
        QVERIFY(CodeAnnotation::readFile(QStringLiteral("编码文件/none.txt")).isEmpty());
        QCOMPARE(CfLookup::editionFile(QStringLiteral("../x"), QStringLiteral(".rcc")), QString());
    }
};

QTEST_GUILESS_MAIN(TestCodeFile)
#include "test_codefile.moc"
