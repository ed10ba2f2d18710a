// Build-time generator of the default code file from the Wubi 86 dictionary (see wubidict.h).
//
// Output: one line per character or word, "entry<TAB>code", with the entry's shortest code (equal
// lengths: the alphabetically first), UTF-8 without byte-order mark. Words come before single
// characters and longer words before shorter ones, so the theoretical code length replaces a
// word as a whole before its characters. Within one length: higher dictionary weight first (the
// more frequent word wins where two overlap), then code, then entry text in UTF-16 order.
//
// Codes starting with 'z' are left out: they are the dictionary's symbol look-ups (Greek, Cyrillic,
// units such as "nm"), not typed codes, and a Latin entry text would rewrite other entries' codes.
#include "wubidict.h"

#include "app/core/textchars.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Entry
{
    QString text;
    QString code;
    qint64 weight = 0;
    int length = 0; // code points
};

bool isTypedCode(const QString& code)
{
    if (code.isEmpty() || code.at(0) == QLatin1Char('z'))
        return false;
    for (const QChar c : code) {
        if (c < QLatin1Char('a') || c > QLatin1Char('y'))
            return false;
    }
    return true;
}

int codePoints(const QString& s)
{
    int n = 0;
    for (int i = 0; i < s.size(); i += TextChars::width(s, i))
        ++n;
    return n;
}

bool readDictionary(const QString& path, std::vector<Entry>* out)
{
    std::vector<DictLine> lines;
    if (!readWubiDictionary("gencodefile", path, &lines))
        return false;
    QHash<QString, int> byText;
    for (const DictLine& line : lines) {
        if (!isTypedCode(line.code))
            continue;
        const auto it = byText.constFind(line.text);
        if (it == byText.constEnd()) {
            byText.insert(line.text, int(out->size()));
            out->push_back({line.text, line.code, line.weight, codePoints(line.text)});
            continue;
        }
        Entry& e = (*out)[size_t(*it)];
        if (line.code.size() < e.code.size() || (line.code.size() == e.code.size() && line.code < e.code))
            e.code = line.code;
        e.weight = std::max(e.weight, line.weight);
    }
    return true;
}

bool writeCodeFile(const QString& path, std::vector<Entry> entries)
{
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const bool aWord = a.length > 1;
        const bool bWord = b.length > 1;
        if (aWord != bWord)
            return aWord;
        if (a.length != b.length)
            return a.length > b.length;
        if (a.weight != b.weight)
            return a.weight > b.weight;
        if (a.code != b.code)
            return a.code < b.code;
        return a.text < b.text;
    });

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "gencodefile: cannot write %s\n", qPrintable(path));
        return false;
    }
    QByteArray bytes;
    bytes.reserve(int(entries.size()) * 12);
    for (const Entry& e : entries) {
        bytes += e.text.toUtf8();
        bytes += '\t';
        bytes += e.code.toLatin1();
        bytes += '\n';
    }
    file.write(bytes);
    return file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: gencodefile <wubi86.dict.yaml> <output.txt>\n");
        return 2;
    }
    std::vector<Entry> entries;
    if (!readDictionary(args.at(1), &entries))
        return 1;
    if (entries.size() < 1000) {
        std::fprintf(stderr, "gencodefile: only %d entries in %s\n", int(entries.size()), qPrintable(args.at(1)));
        return 1;
    }
    return writeCodeFile(args.at(2), std::move(entries)) ? 0 : 1;
}
