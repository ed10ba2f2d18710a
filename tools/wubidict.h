#ifndef TAVREL_TOOLS_WUBIDICT_H
#define TAVREL_TOOLS_WUBIDICT_H

// The reading shared by the build-time generators: a Wubi 86 dictionary in the YAML-headed table
// format of the rime-data-wubi package, a YAML header ended by a line "...", then one entry per line
// as text, TAB, code, and optionally TAB weight and TAB stem; lines starting with '#' are comments.
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <vector>

struct DictLine
{
    QString text;
    QString code;
    qint64 weight = 0;
};

// A weight as written: a whole number, or one with a fraction (rounded); anything else is 0.
inline qint64 weightOf(const QString& field)
{
    bool whole = false;
    const qint64 weight = field.toLongLong(&whole);
    return whole ? weight : qRound64(field.toDouble());
}

// The entry lines in file order; false, with a message naming `tool`, when the file cannot be read.
inline bool readWubiDictionary(const char* tool, const QString& path, std::vector<DictLine>* out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot open %s\n", tool, qPrintable(path));
        return false;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    // Entries follow the header's end marker; a file without a header is entries throughout.
    int first = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).trimmed() == QLatin1String("...")) {
            first = i + 1;
            break;
        }
    }
    for (int i = first; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 2 || fields.at(0).isEmpty() || fields.at(1).isEmpty())
            continue;
        out->push_back({fields.at(0), fields.at(1), fields.size() > 2 ? weightOf(fields.at(2)) : 0});
    }
    return true;
}

#endif
