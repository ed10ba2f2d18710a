#include "app/core/textlines.h"

#include <QDebug>

namespace TextLines {

namespace {
// Bad lines are logged one by one up to this many per file, then only counted.
constexpr int kLoggedBadLines = 20;
} // namespace

QVector<CodeLine> codeLines(QStringView text, const QString& sourceName, int* lineCount, int* skipped)
{
    QVector<CodeLine> lines;
    int count = 0;
    int bad = 0;
    forEachLine(text, [&](QStringView line, int number) {
        count = number;
        QStringView entry;
        QStringView code;
        if (splitTab(line, &entry, &code) && !entry.isEmpty())
            lines.append({entry.toString(), code.toString()});
        else if (++bad <= kLoggedBadLines)
            qDebug().noquote() << QStringLiteral("编码文件跳过无效行:") << sourceName << number;
        return true;
    });
    if (bad > kLoggedBadLines)
        qDebug().noquote() << QStringLiteral("编码文件跳过无效行共") << bad << sourceName;
    if (lineCount)
        *lineCount = count;
    if (skipped)
        *skipped = bad;
    return lines;
}

} // namespace TextLines
