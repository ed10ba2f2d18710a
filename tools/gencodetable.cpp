// Build-time generator of the default code table of the input-method panel from a Wubi 86
// dictionary in the YAML-headed table format of the rime-data-wubi package: a YAML header ended by
// a line "...", then one entry per line as text, TAB, code, and optionally TAB weight and TAB stem;
// lines starting with '#' are comments.
//
// Output: one line per dictionary entry, "code<TAB>text", UTF-8 without byte-order mark, ordered
// by code (byte order) and, within one code, by falling weight; equal weights keep the
// dictionary's order. The panel offers the lines of a code in file order, so the most frequent
// word of a code is its first candidate.
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: gencodetable <wubi86.dict.yaml> <output.txt>\n");
        return 2;
    }
    QFile in(args.at(1));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "gencodetable: cannot open %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const QList<QByteArray> lines = in.readAll().split('\n');
    int first = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).trimmed() == "...") {
            first = i + 1;
            break;
        }
    }
    std::vector<Entry> entries;
    for (int i = first; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 2 || fields.at(0).isEmpty() || !isCode(fields.at(1)))
            continue;
        entries.push_back({fields.at(1), fields.at(0), fields.size() > 2 ? fields.at(2).toLongLong() : 0});
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
