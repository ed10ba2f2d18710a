#include "input/core/codeannotation.h"

#include "app/core/app.h"

#include <QDebug>
#include <QStringView>

#include <algorithm>
#include <vector>

namespace {

// Occurrences as QString::replace takes them: non-overlapping, scanned from the left.
qint64 occurrences(const QString& haystack, const QString& needle)
{
    qint64 n = 0;
    for (int at = haystack.indexOf(needle); at >= 0; at = haystack.indexOf(needle, at + needle.size()))
        ++n;
    return n;
}

} // namespace

namespace CodeAnnotation {

QVector<CodeLine> parse(const QString& fileText, const QString& sourceName)
{
    return TextLines::codeLines(fileText, sourceName);
}

QVector<CodeLine> readFile(const QString& path)
{
    bool ok = false;
    const QString text = App::readTextFile(path, &ok);
    if (!ok) {
        qDebug().noquote() << QStringLiteral("编码文件打不开:") << path;
        return {};
    }
    return parse(text, path);
}

Annotation annotate(const QString& input, const QVector<CodeLine>& lines, const AnnotationLimits& limits)
{
    Annotation result{input, input, false};
    if (input.isEmpty())
        return result;
    const qint64 cap = std::min<qint64>(limits.maxLength, qint64(limits.maxFactor) * input.size());

    // UTF-16 units that may occur in the code form; a line with any other unit cannot match, which
    // passes over most of a large file without a text search. Units replaced away stay marked.
    std::vector<bool> present(0x10000, false);
    for (const QChar c : input)
        present[c.unicode()] = true;

    for (const CodeLine& line : lines) {
        if (!std::all_of(line.text.begin(), line.text.end(), [&](QChar c) { return present[c.unicode()]; }))
            continue;
        const qint64 inCode = occurrences(result.codeForm, line.text);
        if (inCode == 0)
            continue;
        // Checked before replacing, so a single hostile line cannot build a huge text either.
        const qint64 codeLength = result.codeForm.size() + inCode * (line.code.size() + 1 - line.text.size());
        const qint64 textLength =
            result.textCodeForm.size() + occurrences(result.textCodeForm, line.text) * (line.code.size() + 1);
        if (codeLength > cap || textLength > cap)
            return {input, input, true};
        const QString coded = line.code + QLatin1Char(' ');
        result.codeForm.replace(line.text, coded);
        result.textCodeForm.replace(line.text, line.text + coded);
        for (const QChar c : coded)
            present[c.unicode()] = true;
    }
    return result;
}

QString firstCode(const QString& fileText, const QString& entry)
{
    QString found;
    TextLines::forEachLine(fileText, [&](QStringView line, int) {
        QStringView text;
        QStringView code;
        if (TextLines::splitTab(line, &text, &code) && !text.isEmpty() && text == entry) {
            found = code.toString();
            return false;
        }
        return true;
    });
    return found;
}

} // namespace CodeAnnotation
