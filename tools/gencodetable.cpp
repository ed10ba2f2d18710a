// Build-time generator of the default code table of the input-method panel from the Wubi 86
// dictionary (see wubidict.h).
//
// Output: one line per dictionary entry, "code<TAB>text", UTF-8 without byte-order mark, ordered
// by code (byte order) and, within one code, by falling weight; equal weights keep the
// dictionary's order. The panel offers the lines of a code in file order, so the most frequent
// word of a code is its first candidate.
//
// Left out: entries of weight 0 (the dictionary's rare characters, almost all outside the Basic
// Multilingual Plane) and every entry holding a character outside that plane or in CJK Extension A
// (U+3400-U+4DBF), which the Chinese font the trainer installs does not have: each would be drawn
// as an empty box.
#include "wubidict.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Entry
{
    QByteArray code;
    QByteArray text;
    qint64 weight = 0;
};

bool isCode(const QByteArray& code)
{
    if (code.isEmpty())
        return false;
    return std::all_of(code.begin(), code.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool drawable(const QString& text)
{
    return std::none_of(text.begin(), text.end(),
                        [](QChar c) { return c.isSurrogate() || (c.unicode() >= 0x3400 && c.unicode() <= 0x4DBF); });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: gencodetable <wubi86.dict.yaml> <output.txt>\n");
        return 2;
    }
    std::vector<DictLine> lines;
    if (!readWubiDictionary("gencodetable", args.at(1), &lines))
        return 1;
    std::vector<Entry> entries;
    for (const DictLine& line : lines) {
        const QByteArray code = line.code.toUtf8();
        if (isCode(code) && line.weight != 0 && drawable(line.text))
            entries.push_back({code, line.text.toUtf8(), line.weight});
    }
    if (entries.size() < 1000) {
        std::fprintf(stderr, "gencodetable: only %d entries in %s\n", int(entries.size()), qPrintable(args.at(1)));
        return 1;
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.code != b.code)
            return a.code < b.code;
        return a.weight > b.weight;
    });

    QByteArray bytes;
    bytes.reserve(int(entries.size()) * 14);
    for (const Entry& e : entries)
        bytes += e.code + '\t' + e.text + '\n';
    QSaveFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        std::fprintf(stderr, "gencodetable: cannot write %s\n", qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
