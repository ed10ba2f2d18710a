#include "testsupport.h"
#include "typing/core/codefile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTextCodec>

#include <climits>

// The straightforward reading of a code file that the index must agree with: every scan goes over
// the lines in file order. Lines without a TAB or with an empty entry text are skipped.
namespace reference {

QStringList usableLines(const QString& text)
{
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.indexOf(QLatin1Char('\t')) > 0)
            lines << line;
    }
    return lines;
}

// The last single-character line of the target wins; a word starting with it never matches.
QString hint(const QString& file, const QString& passage, int position)
{
    QString hint;
    for (const QString& line : usableLines(file)) {
        if (position < passage.size() && line.at(0) == passage.at(position) && line.at(1) == QLatin1Char('\t'))
            hint = QString(passage.at(position)) + " <font color='red';><b>" + line.split('\t').at(1) + "</b></font>";
    }
    return hint;
}

int codedLength(const QString& file, const QString& passage)
{
    QString copy = passage;
    for (const QString& line : usableLines(file)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        copy.replace(fields.at(0), fields.at(1));
    }
    return copy.size();
}

} // namespace reference

namespace {

CodeFile loaded(const QString& text)
{
    CodeFile file;
    file.load(text, QStringLiteral("test"));
    return file;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
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
        // shows as text.
        const CodeFile file = loaded(QStringLiteral("中\tk\n中国\tkhlg\n中\tkhk\n工\ta\t99\n<\tz&\n"));
        QCOMPARE(file.hintAt(QStringLiteral("中国"), 0), redBold("中", "khk"));
        QCOMPARE(file.hintAt(QStringLiteral("中国"), 1), QString());
        QCOMPARE(file.hintAt(QStringLiteral("中工"), 1), redBold("工", "a"));
        QCOMPARE(file.hintAt(QStringLiteral("中工"), 2), QString());
        QCOMPARE(file.hintAt(QStringLiteral("a<b"), 1), redBold("&lt;", "z&amp;"));

        // Characters outside the BMP, two of them with the same high surrogate.
        const QString wide = QStringLiteral("\U00020000"), other = QStringLiteral("\U00020001");
        const CodeFile wideFile = loaded(wide + "\tgaaa\n" + other + "\tgbbb\n");
        const QString passage = QStringLiteral("中") + wide + other;
        QCOMPARE(wideFile.hintAt(passage, 1), redBold(wide, "gaaa"));
        QCOMPARE(wideFile.hintAt(passage, 3), redBold(other, "gbbb"));
        QCOMPARE(wideFile.hintAt(passage, 2), QString());         // inside a pair: no character of its own
        QCOMPARE(wideFile.hintAt(passage.left(2), 1), QString()); // half a pair at the end: no read past it

        // The label: null keeps its text (nothing typed), empty when off, free mode or all typed.
        const CodeFile we = loaded(QStringLiteral("我\tq\n们\twu\n"));
        const QString ref = QStringLiteral("我们");
        QVERIFY(we.hintLabelAfterChange(ref, 0, true, false).isNull());
        QCOMPARE(we.hintLabelAfterChange(ref, 1, true, false), "编码提示: " + redBold("们", "wu"));
        QCOMPARE(we.hintLabelAfterChange(ref, 1, false, false), QStringLiteral("编码提示: "));
        QCOMPARE(we.hintLabelAfterChange(ref, 1, true, true), QStringLiteral("编码提示: "));
        QCOMPARE(we.hintLabelAfterChange(ref, 7, true, false), QStringLiteral("编码提示: "));
        QCOMPARE(we.hintLabelForStart(ref, true, false), "编码提示: " + redBold("我", "q"));
        QCOMPARE(we.hintLabelForStart(QString(), true, false), QStringLiteral("编码提示: "));
    }

    void badLinesSkippedAndCounted()
    {
        const CodeFile file = loaded(QStringLiteral("中\tk\nno tab here\n\tq\n\n国\tl\n\t\n"));
        QCOMPARE(file.lineCount(), 6);
        QCOMPARE(file.skippedLines(), 4);
        QCOMPARE(file.codeOf(QStringLiteral("国")), QStringLiteral("l"));
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
        // clang-format on
    }

    void codedLength()
    {
        QFETCH(QString, file);
        QFETCH(QString, passage);
        QFETCH(int, expected);
        QCOMPARE(loaded(file).codedLength(passage), expected);
        QCOMPARE(reference::codedLength(file, passage), expected);
    }

    void theoreticalText()
    {
        // Ten characters that become 18.
        const CodeFile file = loaded(QStringLiteral("一\tgg\n二\tfg\n三\tdg\n四\tlh\n"));
        const QString passage = QStringLiteral("一二三四一二三四五六");
        QCOMPARE(file.theoreticalCodeLengthText(passage), QStringLiteral("理论码长:1.80"));
        QVERIFY(file.theoreticalCodeLengthText(passage, true).isNull());
        QVERIFY(file.theoreticalCodeLengthText(QString()).isNull());
        // An empty file has no line at all: the button keeps its text. A line without a code (here a single
        // line break) codes every character as one.
        QVERIFY(loaded(QString()).theoreticalCodeLengthText(passage).isNull());
        QCOMPARE(loaded(QStringLiteral("\n")).theoreticalCodeLengthText(passage), QStringLiteral("理论码长:1.00"));
    }

    void openFromDisk()
    {
        TestDir dir;
        CodeFile file;
        QVERIFY(!file.open(dir.file(QStringLiteral("a.txt"))) && !file.isOpen());

        // A file made on Windows, GB18030 with CRLF: decoded as the text files are (their decoding has
        // its own cases).
        QVERIFY(writeFile(QStringLiteral("gb.txt"),
                          QTextCodec::codecForName("GB18030")->fromUnicode("中\tk\r\n国\tl\r\n")));
        QVERIFY(file.open(QStringLiteral("gb.txt")));
        QCOMPARE(file.codeOf(QStringLiteral("中")) + QString::number(file.skippedLines()), QStringLiteral("k0"));

        // An edited file is seen at the next open; a copy keeps what it had; a failed open forgets all.
        QCOMPARE(CodeFile::pathFor(QStringLiteral("86.txt")), QStringLiteral("编码文件/86.txt"));
        QDir().mkpath(QStringLiteral("编码文件"));
        const QString path = CodeFile::pathFor(QStringLiteral("86.txt"));
        QVERIFY(writeFile(path, "中\tk\n"));
        QVERIFY(file.open(path));
        const CodeFile copy = file;
        QVERIFY(writeFile(path, "中\tkhk\n国\tl\n"));
        QCOMPARE(file.codeOf(QStringLiteral("中")), QStringLiteral("k"));
        QVERIFY(file.open(path));
        QCOMPARE(file.codeOf(QStringLiteral("中")), QStringLiteral("khk"));
        QCOMPARE(copy.codeOf(QStringLiteral("中")), QStringLiteral("k"));
        QVERIFY(!file.open(QStringLiteral("missing.txt")));
        QCOMPARE(file.codeOf(QStringLiteral("中")), QString());
    }

    // Codes that hold their own entry text double the copy with every line: past 50 times the
    // passage or 1,000,000 characters the figure is unavailable.
    void literalGrowthBounded()
    {
        const auto doubling = [](int lines, int passage) {
            return loaded(QStringLiteral("a\taa\n").repeated(lines)).codedLength(QString(passage, QLatin1Char('a')));
        };
        QCOMPARE(doubling(5, 10), 320);
        const QRegularExpression unavailable(QStringLiteral("理论码长不可用"));
        QTest::ignoreMessage(QtDebugMsg, unavailable);
        QCOMPARE(doubling(6, 10), -1); // past 50 times
        QTest::ignoreMessage(QtDebugMsg, unavailable);
        QCOMPARE(doubling(5, 40000), -1); // past a million
    }

    void randomFilesSameAsLineByLine()
    {
        // Small alphabets make overlaps, repeats and chains frequent.
        QRandomGenerator rng(20240607);
        auto pick = [&rng](const QString& from, int len) {
            QString s;
            for (int i = 0; i < len; ++i)
                s += from.at(int(rng.bounded(from.size())));
            return s;
        };
        const QString entryChars = QStringLiteral("天地人和中");
        for (int round = 0; round < 300; ++round) {
            // Every third file lets codes hold entry characters and be empty.
            const bool mixed = round % 3 == 0;
            QString file;
            for (int i = 0, lines = 1 + int(rng.bounded(12)); i < lines; ++i) {
                file +=
                    pick(entryChars, 1 + int(rng.bounded(3))) + '\t' +
                    (mixed ? pick(entryChars + "abcd", int(rng.bounded(4))) : pick("abcd", 1 + int(rng.bounded(4)))) +
                    '\n';
            }
            const CodeFile index = loaded(file);
            for (int k = 0; k < 4; ++k) {
                const QString passage = pick(entryChars + "x", 1 + int(rng.bounded(30)));
                QCOMPARE(index.codedLength(passage), reference::codedLength(file, passage));
                const int pos = int(rng.bounded(passage.size() + 1));
                QCOMPARE(index.hintAt(passage, pos), reference::hint(file, passage, pos));
            }
        }
    }

    void generatedDefaultFile()
    {
        const QString path = qEnvironmentVariable("TAVREL_BUILD_DIR") + QStringLiteral("/编码文件/86.txt");
        QVERIFY2(QFile::exists(path), qPrintable(path));
        CodeFile file;
        QVERIFY(file.open(path));
        QVERIFY(file.lineCount() > 50000);
        QCOMPARE(file.skippedLines(), 0);
        QCOMPARE(file.codeOf(QStringLiteral("工")), QStringLiteral("a"));
        QCOMPARE(file.codeOf(QStringLiteral("中")), QStringLiteral("k"));
        QVERIFY(file.codeOf(QStringLiteral("的")).size() <= 2);

        // Shape: one TAB per line, codes of typed letters, each entry once, longer entries first.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString fileText = QString::fromUtf8(f.readAll());
        const QRegularExpression typedCode(QStringLiteral("^[a-y]{1,4}$"));
        int previousLength = INT_MAX;
        int firstSingle = -1;
        QSet<QString> seen;
        const QStringList lines = fileText.split('\n', Qt::SkipEmptyParts);
        for (int i = 0; i < lines.size(); ++i) {
            const QStringList fields = lines.at(i).split('\t');
            QVERIFY2(fields.size() == 2 && typedCode.match(fields.at(1)).hasMatch(), qPrintable(lines.at(i)));
            QVERIFY2(!seen.contains(fields.at(0)), qPrintable(lines.at(i)));
            seen.insert(fields.at(0));
            const int length = fields.at(0).toUcs4().size();
            QVERIFY2(length <= previousLength, qPrintable(lines.at(i)));
            previousLength = length;
            if (length == 1 && firstSingle < 0)
                firstSingle = i;
        }
        const int china = lines.indexOf(QStringLiteral("中国\tkhlg"));
        QVERIFY(firstSingle > 0 && china >= 0 && china < firstSingle);
    }
};

QTEST_GUILESS_MAIN(TestCodeFile)
#include "test_codefile.moc"
