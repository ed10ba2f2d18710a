#include "testsupport.h"
#include "typing/codefile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTextCodec>

#include <climits>

// The straightforward reading of a code file that the index must agree with: every scan goes over
// the lines in file order. Lines without a TAB or with an empty entry text are skipped.
namespace reference {

QStringList linesOf(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

bool usable(const QString& line)
{
    return line.indexOf(QLatin1Char('\t')) > 0;
}

// The last single-character line of the target wins; a word starting with it never matches.
QString hint(const QString& file, const QString& passage, int position)
{
    if (position >= passage.size())
        return QString();
    const QChar target = passage.at(position);
    QString hint;
    for (const QString& line : linesOf(file)) {
        if (usable(line) && line.at(0) == target && line.left(2).contains(QLatin1Char('\t')))
            hint = QString(target) + " <font color='red';><b>" + line.split('\t').at(1) + "</b></font>";
    }
    return hint;
}

int codedLength(const QString& file, const QString& passage)
{
    QString copy = passage;
    for (const QString& line : linesOf(file)) {
        if (!usable(line))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (copy.contains(fields.at(0)))
            copy.replace(fields.at(0), fields.at(1));
    }
    return copy.size();
}

} // namespace reference

class TestCodeFile : public QObject
{
    Q_OBJECT

private:
    static CodeFile loaded(const QString& text)
    {
        CodeFile file;
        file.load(text, QStringLiteral("test"));
        return file;
    }

    static bool writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    }

private slots:
    void hint_data();
    void hint();
    void hintLabels();
    void hintOutsideBasicPlane();
    void badLinesSkippedAndCounted();
    void codedLength_data();
    void codedLength();
    void theoreticalText();
    void missingFile();
    void sameAsLineByLine_data();
    void sameAsLineByLine();
    void randomFilesSameAsLineByLine();
    void reopenSeesEditedFile();
    void readsWindowsEncodings();
    void generatedDefaultFile();
};

void TestCodeFile::hint_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("passage");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");

    const QString three = QStringLiteral("中\tk\n中国\tkhlg\n中\tkhk\n");
    QTest::addRow("last single-character line wins, word never matches")
        << three << QStringLiteral("中国") << 0 << QStringLiteral("中 <font color='red';><b>khk</b></font>");
    QTest::addRow("next character after the typed ones")
        << QStringLiteral("我\tq\n们\twu\n") << QStringLiteral("我们") << 1
        << QStringLiteral("们 <font color='red';><b>wu</b></font>");
    QTest::addRow("character without code") << three << QStringLiteral("中人") << 1 << QString();
    QTest::addRow("at the end of the passage") << three << QStringLiteral("中") << 1 << QString();
    QTest::addRow("further fields ignored") << QStringLiteral("工\ta\t99\taa\n") << QStringLiteral("工") << 0
                                            << QStringLiteral("工 <font color='red';><b>a</b></font>");
    QTest::addRow("empty code") << QStringLiteral("工\t\n") << QStringLiteral("工") << 0
                                << QStringLiteral("工 <font color='red';><b></b></font>");
    QTest::addRow("markup shows as text") << QStringLiteral("<\tz&\n") << QStringLiteral("a<b") << 1
                                          << QStringLiteral("&lt; <font color='red';><b>z&amp;</b></font>");
}

void TestCodeFile::hint()
{
    QFETCH(QString, file);
    QFETCH(QString, passage);
    QFETCH(int, position);
    QFETCH(QString, expected);
    QCOMPARE(loaded(file).hintAt(passage, position), expected);
}

void TestCodeFile::hintLabels()
{
    const CodeFile file = loaded(QStringLiteral("我\tq\n们\twu\n"));
    const QString ref = QStringLiteral("我们");

    // Nothing typed yet: the label keeps its text.
    QVERIFY(file.hintLabelAfterChange(ref, 0, true, false).isNull());
    QCOMPARE(file.hintLabelAfterChange(ref, 1, true, false),
             QStringLiteral("编码提示: 们 <font color='red';><b>wu</b></font>"));
    QCOMPARE(file.hintLabelAfterChange(ref, 1, false, false), QStringLiteral("编码提示: "));
    QCOMPARE(file.hintLabelAfterChange(ref, 1, true, true), QStringLiteral("编码提示: "));
    // All typed: no next character.
    QCOMPARE(file.hintLabelAfterChange(ref, 2, true, false), QStringLiteral("编码提示: "));
    QCOMPARE(file.hintLabelAfterChange(ref, 7, true, false), QStringLiteral("编码提示: "));

    QCOMPARE(file.hintLabelForStart(ref, true, false),
             QStringLiteral("编码提示: 我 <font color='red';><b>q</b></font>"));
    QCOMPARE(file.hintLabelForStart(QString(), true, false), QStringLiteral("编码提示: "));
    QCOMPARE(file.hintLabelForStart(ref, true, true), QStringLiteral("编码提示: "));
}

void TestCodeFile::hintOutsideBasicPlane()
{
    const QString wide = QString::fromUcs4(U"\U00020000");
    const QString other = QString::fromUcs4(U"\U00020001"); // same high surrogate
    const CodeFile file = loaded(wide + "\tgaaa\n" + other + "\tgbbb\n");
    const QString passage = QStringLiteral("中") + wide + other;
    QCOMPARE(file.hintAt(passage, 1), wide + " <font color='red';><b>gaaa</b></font>");
    QCOMPARE(file.hintAt(passage, 3), other + " <font color='red';><b>gbbb</b></font>");
    QCOMPARE(file.codeOf(other), QStringLiteral("gbbb"));
    // A position inside a pair is no character of its own.
    QCOMPARE(file.hintAt(passage, 2), QString());
    // Passage ending with half a pair: no read past the end.
    QCOMPARE(file.hintAt(passage.left(2), 1), QString());
}

void TestCodeFile::badLinesSkippedAndCounted()
{
    const QString text = QStringLiteral("中\tk\nno tab here\n\tq\n\n国\tl\n\t\n");
    const CodeFile file = loaded(text);
    QCOMPARE(file.lineCount(), 6);
    QCOMPARE(file.skippedLines(), 4);
    QCOMPARE(file.codeOf(QStringLiteral("国")), QStringLiteral("l"));
    // A tab in the passage does not pick up the line with the empty entry text.
    QCOMPARE(file.hintAt(QStringLiteral("\t"), 0), QString());
    // Nor does the empty entry text take part in the code length.
    QCOMPARE(file.codedLength(QStringLiteral("中x国")), 3);
}

void TestCodeFile::codedLength_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("passage");
    QTest::addColumn<int>("expected");

    const QString chars = QStringLiteral("我\tq\n们\twu\n是\tj\n人\tw\n");
    QTest::addRow("single characters") << chars << QStringLiteral("我们是人") << 5;
    QTest::addRow("character without code counts one") << chars << QStringLiteral("我们好") << 4;
    QTest::addRow("word listed first is replaced whole")
        << QStringLiteral("我们\ttrwu\n") + chars << QStringLiteral("我们是我们") << 9;
    QTest::addRow("word listed after its characters never matches")
        << chars + QStringLiteral("我们\ttr\n") << QStringLiteral("我们是我们") << 7;
    QTest::addRow("passage ending inside a word")
        << QStringLiteral("我们\ttr\n") + chars << QStringLiteral("是我") << 2;
    QTest::addRow("longer word first") << QStringLiteral("中华人民\tkwwn\n人民\twn\n中\tk\n")
                                       << QStringLiteral("中华人民人民中") << 7;
    QTest::addRow("overlapping words: first listed wins")
        << QStringLiteral("BC\t1\nAB\t22\nA\t3\nC\t4\n") << QStringLiteral("ABC") << 2;
    QTest::addRow("same word twice in a row takes both") << QStringLiteral("AA\tx\n") << QStringLiteral("AAAAA") << 3;
    QTest::addRow("duplicate entry: first line counts")
        << QStringLiteral("我\tqq\n我\tq\n") << QStringLiteral("我我") << 4;
    QTest::addRow("case sensitive") << QStringLiteral("a\tXY\n") << QStringLiteral("Aa") << 3;
    QTest::addRow("code holding a later entry is replaced again")
        << QStringLiteral("我\tab\nb\tccc\n") << QStringLiteral("我") << 4;
    QTest::addRow("empty code deletes and joins") << QStringLiteral("x\t\nAB\tz\n") << QStringLiteral("AxB") << 1;
    QTest::addRow("every line without tab") << QStringLiteral("我 q\n们 wu\n") << QStringLiteral("我们") << 2;
}

void TestCodeFile::codedLength()
{
    QFETCH(QString, file);
    QFETCH(QString, passage);
    QFETCH(int, expected);
    QCOMPARE(loaded(file).codedLength(passage), expected);
    QCOMPARE(reference::codedLength(file, passage), expected);
}

void TestCodeFile::theoreticalText()
{
    // Ten characters that become 18.
    const CodeFile file = loaded(QStringLiteral("一\tgg\n二\tfg\n三\tdg\n四\tlh\n"));
    const QString passage = QStringLiteral("一二三四一二三四五六");
    QCOMPARE(file.theoreticalCodeLengthText(passage), QStringLiteral("理论码长:1.80"));
    QVERIFY(file.theoreticalCodeLengthText(passage, true).isNull());
    QVERIFY(file.theoreticalCodeLengthText(QString()).isNull());

    const CodeFile noTabs = loaded(QStringLiteral("一 gg\n二 fg\n"));
    QCOMPARE(noTabs.theoreticalCodeLengthText(passage), QStringLiteral("理论码长:1.00"));

    // An empty file has no line at all: the button keeps its text.
    QVERIFY(loaded(QString()).theoreticalCodeLengthText(passage).isNull());
    // A single line break is one empty line, and that was read.
    QCOMPARE(loaded(QStringLiteral("\n")).theoreticalCodeLengthText(passage), QStringLiteral("理论码长:1.00"));
}

void TestCodeFile::missingFile()
{
    TestDir dir;
    CodeFile file;
    QVERIFY(file.open(dir.file(QStringLiteral("a.txt"))) == false);
    QVERIFY(!file.isOpen());
    QCOMPARE(file.hintAt(QStringLiteral("中"), 0), QString());
    QCOMPARE(file.hintLabelForStart(QStringLiteral("中"), true, false), QStringLiteral("编码提示: "));
    QVERIFY(file.theoreticalCodeLengthText(QStringLiteral("中")).isNull());

    // A reader that held a file and then fails to open another forgets the first.
    QVERIFY(writeFile(dir.file(QStringLiteral("b.txt")), "中\tk\n"));
    QVERIFY(file.open(dir.file(QStringLiteral("b.txt"))));
    QCOMPARE(file.codeOf(QStringLiteral("中")), QStringLiteral("k"));
    QVERIFY(!file.open(dir.file(QStringLiteral("missing.txt"))));
    QCOMPARE(file.codeOf(QStringLiteral("中")), QString());

    // The settings' relative path.
    QCOMPARE(CodeFile::pathFor(QStringLiteral("86.txt")), QStringLiteral("编码文件/86.txt"));
}

void TestCodeFile::sameAsLineByLine_data()
{
    QTest::addColumn<QString>("file");

    QTest::addRow("words first") << QStringLiteral("中华人民共和国\tkwwl\n人民\twwn\n中国\tkhlg\n我们\ttrwu\n"
                                                   "中\tk\n国\tl\n人\tw\n民\tn\n我\tq\n们\twu\n的\tr\n是\tj\n");
    QTest::addRow("characters first") << QStringLiteral("中\tk\n国\tl\n人\tw\n民\tn\n我\tq\n们\twu\n的\tr\n"
                                                        "中国\tkhlg\n我们\ttrwu\n人民\twwn\n");
    QTest::addRow("codes holding entries") << QStringLiteral("中\t国x\n国\tl人\n人\tw\n的\t的的\n我们\t们我\n我\tq\n");
    QTest::addRow("empty codes and bad lines") << QStringLiteral("的\t\n\tzz\nbad\n是\tj\n人民\t\n中\tk\n");
}

void TestCodeFile::sameAsLineByLine()
{
    QFETCH(QString, file);
    const CodeFile index = loaded(file);
    const QStringList passages = {
        QStringLiteral("我们是中国人，中华人民共和国的人民。"),
        QStringLiteral("中国中国中国国国人人人民民的的的"),
        QStringLiteral("人民人民人民中"),
        QStringLiteral("abc 我们 的的 xyz\n\t中华人民共和"),
        QStringLiteral("的"),
    };
    for (const QString& passage : passages) {
        QCOMPARE(index.codedLength(passage), reference::codedLength(file, passage));
        for (int pos = 0; pos <= passage.size(); ++pos)
            QCOMPARE(index.hintAt(passage, pos), reference::hint(file, passage, pos));
    }
}

void TestCodeFile::randomFilesSameAsLineByLine()
{
    // Small alphabets make overlaps, repeats and chains frequent.
    QRandomGenerator rng(20240607);
    const QString entryChars = QStringLiteral("天地人和中");
    const QString letters = QStringLiteral("abcd");
    auto pick = [&rng](const QString& from, int len) {
        QString s;
        for (int i = 0; i < len; ++i)
            s += from.at(int(rng.bounded(from.size())));
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        // Every third file lets codes hold entry characters and be empty.
        const bool mixed = round % 3 == 0;
        QString file;
        const int lines = 1 + int(rng.bounded(12));
        for (int i = 0; i < lines; ++i) {
            const QString text = pick(entryChars, 1 + int(rng.bounded(3)));
            const QString code =
                mixed ? pick(entryChars + letters, int(rng.bounded(4))) : pick(letters, 1 + int(rng.bounded(4)));
            file += text + '\t' + code + '\n';
        }
        const CodeFile index = loaded(file);
        for (int k = 0; k < 4; ++k) {
            const QString passage = pick(entryChars + QStringLiteral("x"), 1 + int(rng.bounded(30)));
            QCOMPARE(index.codedLength(passage), reference::codedLength(file, passage));
            const int pos = int(rng.bounded(passage.size() + 1));
            QCOMPARE(index.hintAt(passage, pos), reference::hint(file, passage, pos));
        }
    }
}

void TestCodeFile::reopenSeesEditedFile()
{
    TestDir dir;
    QDir().mkpath(QStringLiteral("编码文件"));
    const QString path = CodeFile::pathFor(QStringLiteral("86.txt"));
    QVERIFY(writeFile(path, "中\tk\n"));
    CodeFile reader;
    QVERIFY(reader.open(path));
    QCOMPARE(reader.path(), path);
    const CodeFile copy = reader;

    QVERIFY(writeFile(path, "中\tkhk\n国\tl\n"));
    // Nothing changes until the next open.
    QCOMPARE(reader.codeOf(QStringLiteral("中")), QStringLiteral("k"));
    QVERIFY(reader.open(path));
    QCOMPARE(reader.codeOf(QStringLiteral("中")), QStringLiteral("khk"));
    QCOMPARE(reader.codedLength(QStringLiteral("中国")), 4);
    // A copy keeps what it was given.
    QCOMPARE(copy.codeOf(QStringLiteral("中")), QStringLiteral("k"));
}

void TestCodeFile::readsWindowsEncodings()
{
    TestDir dir;
    QTextCodec* gb = QTextCodec::codecForName("GB18030");
    QVERIFY(gb);
    QVERIFY(writeFile(dir.file(QStringLiteral("gb.txt")), gb->fromUnicode(QStringLiteral("中\tk\r\n国\tl\r\n"))));
    QVERIFY(writeFile(dir.file(QStringLiteral("bom.txt")), "\xEF\xBB\xBF" + QStringLiteral("中\tk\n").toUtf8()));
    for (const char* name : {"gb.txt", "bom.txt"}) {
        CodeFile file;
        QVERIFY(file.open(dir.file(QLatin1String(name))));
        QCOMPARE(file.codeOf(QStringLiteral("中")), QStringLiteral("k"));
        QCOMPARE(file.skippedLines(), 0);
    }
}

void TestCodeFile::generatedDefaultFile()
{
    const QString buildDir = qEnvironmentVariable("TAVREL_BUILD_DIR");
    QVERIFY2(!buildDir.isEmpty(), "TAVREL_BUILD_DIR is not set");
    const QString path = buildDir + QStringLiteral("/编码文件/86.txt");
    QVERIFY2(QFile::exists(path), qPrintable(path));

    CodeFile file;
    QVERIFY(file.open(path));
    QVERIFY(file.lineCount() > 50000);
    QCOMPARE(file.skippedLines(), 0);

    const QRegularExpression typedCode(QStringLiteral("^[a-y]{1,4}$"));
    QVERIFY(typedCode.match(file.codeOf(QStringLiteral("的"))).hasMatch());
    QVERIFY(file.codeOf(QStringLiteral("的")).size() <= 2);
    QCOMPARE(file.codeOf(QStringLiteral("工")), QStringLiteral("a"));
    QCOMPARE(file.codeOf(QStringLiteral("中")), QStringLiteral("k"));
    QVERIFY(typedCode.match(file.codeOf(QStringLiteral("键"))).hasMatch());

    // Shape: one TAB per line, words before characters, longer words before shorter ones, and
    // each entry once.
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString fileText = QString::fromUtf8(f.readAll());
    const QStringList lines = fileText.split('\n', Qt::SkipEmptyParts);
    int previousLength = INT_MAX;
    int firstSingle = -1;
    int wordChinaCode = -1;
    QSet<QString> seen;
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines.at(i).split('\t');
        QCOMPARE(fields.size(), 2);
        QVERIFY2(typedCode.match(fields.at(1)).hasMatch(), qPrintable(lines.at(i)));
        QVERIFY2(!seen.contains(fields.at(0)), qPrintable(lines.at(i)));
        seen.insert(fields.at(0));
        const int length = fields.at(0).toUcs4().size();
        QVERIFY2(length <= previousLength, qPrintable(lines.at(i)));
        previousLength = length;
        if (length == 1 && firstSingle < 0)
            firstSingle = i;
        if (fields.at(0) == QStringLiteral("中国"))
            wordChinaCode = i;
    }
    QVERIFY(firstSingle > 0);
    QVERIFY(wordChinaCode >= 0 && wordChinaCode < firstSingle);
    QCOMPARE(lines.at(wordChinaCode), QStringLiteral("中国\tkhlg"));

    // A sentence of common words codes to a plausible number of keys per character.
    const QString sentence = QStringLiteral("我们是中国人，我们热爱和平。");
    const int coded = file.codedLength(sentence);
    QVERIFY(coded > sentence.size() && coded < 4 * sentence.size());
    QCOMPARE(coded, reference::codedLength(fileText, sentence));
}

QTEST_GUILESS_MAIN(TestCodeFile)
#include "test_codefile.moc"
