#ifndef TAVREL_TEXTLINES_H
#define TAVREL_TEXTLINES_H

#include <QString>
#include <QStringView>
#include <QVector>

// The line reading shared by the code files, the code tables and the code look-up.
namespace TextLines {

// Calls f(line, lineNumber) for every line as a text stream reads them: split at line feeds, a
// carriage return before one dropped, no extra empty line after a final line break. Numbers count
// from 1; f returns false to stop.
template <class F> void forEachLine(QStringView text, F f)
{
    int number = 0;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        qsizetype stop = end;
        if (stop > start && text.at(stop - 1) == QLatin1Char('\r'))
            --stop;
        if (!f(text.mid(start, stop - start), ++number))
            return;
        start = end + 1;
    }
}

// The first two TAB-separated fields of a line; fields after a second TAB are ignored. False for a
// line without a TAB.
inline bool splitTab(QStringView line, QStringView* first, QStringView* second)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return false;
    qsizetype end = line.indexOf(QLatin1Char('\t'), tab + 1);
    if (end < 0)
        end = line.size();
    *first = line.left(tab);
    *second = line.mid(tab + 1, end - tab - 1);
    return true;
}

// One usable line of a code file: the entry text (a character or a word) and its code.
struct CodeLine
{
    QString text;
    QString code;
};

// The lines of a code file in file order: entry, TAB, code. A line without a TAB or with an empty
// entry text is skipped, and logged with its line number under sourceName (the first few one by
// one, then only counted). lineCount and skipped, where given, take the number of lines read and
// of lines skipped.
QVector<CodeLine> codeLines(QStringView text, const QString& sourceName, int* lineCount = nullptr,
                            int* skipped = nullptr);

} // namespace TextLines

#endif
