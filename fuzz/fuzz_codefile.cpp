// The code-file loader and the theoretical code length: a code file and a passage from the input;
// the length agrees with replacing line by line in file order wherever that stays small, and the
// hint never reads outside the passage.
#include "fuzzinput.h"
#include "typing/core/codefile.h"

#include <QStringList>

namespace {

// Line by line in file order; -1 once the copy grows past the bound the loader uses.
int reference(const QString& file, const QString& passage)
{
    const qint64 limit = qMin<qint64>(1000000, 50LL * passage.size());
    QString copy = passage;
    const QStringList lines = file.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i == lines.size() - 1 && lines.at(i).isEmpty())
            break; // a final line break starts no line
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            continue;
        const QString code = line.mid(tab + 1).section(QLatin1Char('\t'), 0, 0);
        copy.replace(line.left(tab), code);
        if (copy.size() > limit)
            return -1;
    }
    return copy.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const QString file = in.text();
    const QString passage = in.text();
    CodeFile codes;
    codes.load(file, QStringLiteral("fuzz"));
    const int coded = codes.codedLength(passage);
    codes.theoreticalCodeLengthText(passage);
    for (int pos = -1; pos <= passage.size(); ++pos)
        codes.hintAt(passage, pos);
    if (codes.lineCount() > 0 && !passage.isEmpty()) {
        const int expected = reference(file, passage);
        // Past the bound the literal path gives up while the quick path still counts: both are fine.
        FUZZ_CHECK(expected < 0 || coded == expected);
    }
    return 0;
}
