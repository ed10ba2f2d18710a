// Build-time generator of the default code file from a Wubi 86 dictionary in the YAML-headed
// table format of the rime-data-wubi package: a YAML header ended by a line "...", then one entry
// per line as text, TAB, code, and optionally TAB weight and TAB stem; lines starting with '#'
// are comments.
//
// Output: one line per character or word, "entry<TAB>code", with the entry's shortest code (equal
// lengths: the alphabetically first), UTF-8 without byte-order mark. Words come before single
// characters and longer words before shorter ones, so the theoretical code length replaces a
// word as a whole before its characters. Within one length: higher dictionary weight first (the
// more frequent word wins where two overlap), then code, then entry text in UTF-16 order.
//
// Codes starting with 'z' are left out: they are the dictionary's symbol look-ups (Greek, Cyrillic,
// units such as "nm"), not typed codes, and a Latin entry text would rewrite other entries' codes.
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
    for (int i = 0; i < s.size(); ++i) {
        if (!(s.at(i).isLowSurrogate() && i > 0 && s.at(i - 1).isHighSurrogate()))
            ++n;
    }
    return n;
}

bool readDictionary(const QString& path, std::vector<Entry>* out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "gencodefile: cannot open %s\n", qPrintable(path));
        return false;
    }
    const QString all = QString::fromUtf8(file.readAll());
    QStringList lines = all.split(QLatin1Char('\n'));
    // Entries follow the header's end marker; a file without a header is entries throughout.
    int first = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).trimmed() == QLatin1String("...")) {
            first = i + 1;
            break;
        }
    }

    QHash<QString, int> byText;
    for (int i = first; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 2 || fields.at(0).isEmpty() || !isTypedCode(fields.at(1)))
            continue;
        const QString& text = fields.at(0);
        const QString& code = fields.at(1);
        const qint64 weight = fields.size() > 2 ? fields.at(2).toLongLong() : 0;
        const auto it = byText.constFind(text);
        if (it == byText.constEnd()) {
            byText.insert(text, int(out->size()));
            out->push_back({text, code, weight, codePoints(text)});
            continue;
        }
        Entry& e = (*out)[size_t(*it)];
        if (code.size() < e.code.size() || (code.size() == e.code.size() && code < e.code))
            e.code = code;
        e.weight = std::max(e.weight, weight);
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
