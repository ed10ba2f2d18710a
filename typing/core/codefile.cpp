#include "typing/core/codefile.h"

#include "app/core/app.h"

#include <QDebug>
#include <QHash>
#include <QSet>
#include <QStringView>

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// Bad lines are logged one by one up to this many per file, then only counted.
constexpr int kLoggedBadLines = 20;

const QString kHintOpen = QStringLiteral("<font color='red';><b>");
const QString kHintClose = QStringLiteral("</b></font>");

// One code point starting at `pos`: a surrogate pair when it is a whole one, else the unit itself.
uint codePointAt(const QString& s, int pos, int* width)
{
    const QChar c = s.at(pos);
    if (c.isHighSurrogate() && pos + 1 < s.size() && s.at(pos + 1).isLowSurrogate()) {
        *width = 2;
        return QChar::surrogateToUcs4(c, s.at(pos + 1));
    }
    *width = 1;
    return c.unicode();
}

std::u16string_view viewOf(const QString& s, int pos, int len)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()) + pos, size_t(len));
}

} // namespace

struct CodeFile::Data
{
    struct Line
    {
        QString text;
        QString code;
    };
    struct Entry
    {
        int textLength;
        int codeLength;
    };

    QString path;
    int lines = 0;
    int skipped = 0;

    // Code point of a single-character entry -> the code of its last line.
    QHash<uint, QString> hintCodes;

    // When no code shares a character with any entry text and no code is empty, a replacement can
    // never create a new occurrence of a later entry: each entry then simply takes the occurrences
    // that earlier entries left whole, and only the first line of each entry text can take any.
    bool codesApart = true;

    // Fast form (codesApart): the distinct entry texts in the order of their first line, and every
    // entry text and proper prefix of one, mapped to its entry number (-1: a prefix only). The keys
    // point into `texts`, which is never changed after they are made.
    std::u16string texts;
    std::vector<Entry> entries;
    std::unordered_map<std::u16string_view, int> index;

    // Literal form (codes and entries share characters): every good line in file order, and the
    // UTF-16 units that occur in some code, so lines that can never match are passed over.
    std::vector<Line> lineList;
    std::vector<bool> codeUnits;

    int fastCodedLength(const QString& passage) const;
    int literalCodedLength(const QString& passage) const;
};

int CodeFile::Data::fastCodedLength(const QString& passage) const
{
    const int n = passage.size();
    // (entry number, position) of every place where an entry text starts.
    std::vector<std::pair<int, int>> found;
    found.reserve(size_t(n) * 2);
    for (int i = 0; i < n; ++i) {
        for (int len = 1; i + len <= n; ++len) {
            const auto it = index.find(viewOf(passage, i, len));
            if (it == index.end())
                break;
            if (it->second >= 0)
                found.emplace_back(it->second, i);
        }
    }
    std::sort(found.begin(), found.end());

    // Entries in file order, each taking its occurrences left to right where no character was
    // replaced yet, by an earlier entry or by its own occurrence just before (overlap).
    std::vector<char> replaced(size_t(n), 0);
    int length = n;
    for (const auto& [entry, pos] : found) {
        const Entry& e = entries[size_t(entry)];
        const auto begin = replaced.begin() + pos;
        const auto end = begin + e.textLength;
        if (std::find(begin, end, 1) != end)
            continue;
        std::fill(begin, end, 1);
        length += e.codeLength - e.textLength;
    }
    return length;
}

int CodeFile::Data::literalCodedLength(const QString& passage) const
{
    // The copy only ever holds characters of the passage and of codes.
    std::vector<bool> present = codeUnits;
    for (const QChar c : passage)
        present[c.unicode()] = true;

    QString copy = passage;
    for (const Line& line : lineList) {
        bool possible = true;
        for (const QChar c : line.text) {
            if (!present[c.unicode()]) {
                possible = false;
                break;
            }
        }
        if (possible && copy.contains(line.text))
            copy.replace(line.text, line.code);
    }
    return copy.size();
}

CodeFile::CodeFile() = default;
CodeFile::~CodeFile() = default;
CodeFile::CodeFile(const CodeFile& other) = default;
CodeFile& CodeFile::operator=(const CodeFile& other) = default;

QString CodeFile::pathFor(const QString& fileName)
{
    return QStringLiteral("编码文件/") + fileName;
}

bool CodeFile::open(const QString& path)
{
    bool ok = false;
    const QString text = App::readTextFile(path, &ok);
    if (!ok) {
        qDebug().noquote() << QStringLiteral("编码文件打不开:") << path;
        m_data.reset();
        return false;
    }
    load(text, path);
    return true;
}

void CodeFile::load(const QString& text, const QString& sourceName)
{
    auto data = QSharedPointer<Data>::create();
    data->path = sourceName;

    // Lines as a text stream reads them: split at line feeds, a carriage return before one dropped,
    // and a final line break does not start another line.
    std::vector<Data::Line> good;
    int start = 0;
    const int size = text.size();
    int lineNo = 0;
    while (start < size) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = size;
        int stop = end;
        if (stop > start && text.at(stop - 1) == QLatin1Char('\r'))
            --stop;
        ++lineNo;
        const QStringView line = QStringView(text).mid(start, stop - start);
        const int tab = int(line.indexOf(QLatin1Char('\t')));
        if (tab <= 0) {
            ++data->skipped;
            if (data->skipped <= kLoggedBadLines)
                qDebug().noquote() << QStringLiteral("编码文件跳过无效行:") << sourceName << lineNo;
        } else {
            int codeEnd = int(line.indexOf(QLatin1Char('\t'), tab + 1));
            if (codeEnd < 0)
                codeEnd = int(line.size());
            good.push_back({line.left(tab).toString(), line.mid(tab + 1, codeEnd - tab - 1).toString()});
        }
        start = end + 1;
    }
    data->lines = lineNo;
    if (data->skipped > kLoggedBadLines)
        qDebug().noquote() << QStringLiteral("编码文件跳过无效行共") << data->skipped << sourceName;

    std::vector<bool> entryUnits(0x10000, false);
    data->codeUnits.assign(0x10000, false);
    for (const Data::Line& line : good) {
        int width = 0;
        const uint cp = codePointAt(line.text, 0, &width);
        if (width == line.text.size())
            data->hintCodes.insert(cp, line.code); // a later line replaces an earlier one
        for (const QChar c : line.text)
            entryUnits[c.unicode()] = true;
        for (const QChar c : line.code)
            data->codeUnits[c.unicode()] = true;
        if (line.code.isEmpty())
            data->codesApart = false;
    }
    for (int u = 0; u < 0x10000 && data->codesApart; ++u) {
        if (entryUnits[size_t(u)] && data->codeUnits[size_t(u)])
            data->codesApart = false;
    }

    if (data->codesApart) {
        QSet<QString> seen;
        seen.reserve(int(good.size()));
        std::vector<std::pair<size_t, int>> spans; // offset into texts, entry length
        for (const Data::Line& line : good) {
            if (seen.contains(line.text))
                continue;
            seen.insert(line.text);
            spans.emplace_back(data->texts.size(), line.text.size());
            data->texts.append(reinterpret_cast<const char16_t*>(line.text.utf16()), size_t(line.text.size()));
            data->entries.push_back({line.text.size(), line.code.size()});
        }
        data->index.reserve(spans.size() * 2);
        const char16_t* base = data->texts.data();
        for (size_t i = 0; i < spans.size(); ++i) {
            const char16_t* p = base + spans[i].first;
            const int len = spans[i].second;
            data->index[std::u16string_view(p, size_t(len))] = int(i);
            for (int l = 1; l < len; ++l)
                data->index.emplace(std::u16string_view(p, size_t(l)), -1);
        }
        data->codeUnits.clear();
    } else {
        data->lineList = std::move(good);
    }
    m_data = data;
}

void CodeFile::clear()
{
    m_data.reset();
}

bool CodeFile::isOpen() const
{
    return !m_data.isNull();
}

QString CodeFile::path() const
{
    return m_data ? m_data->path : QString();
}

int CodeFile::lineCount() const
{
    return m_data ? m_data->lines : 0;
}

int CodeFile::skippedLines() const
{
    return m_data ? m_data->skipped : 0;
}

QString CodeFile::codeOf(const QString& character) const
{
    if (!m_data || character.isEmpty())
        return QString();
    int width = 0;
    const uint cp = codePointAt(character, 0, &width);
    if (width != character.size())
        return QString();
    return m_data->hintCodes.value(cp);
}

QString CodeFile::hintAt(const QString& passage, int position) const
{
    if (!m_data || position < 0 || position >= passage.size())
        return QString();
    int width = 0;
    const uint cp = codePointAt(passage, position, &width);
    const auto it = m_data->hintCodes.constFind(cp);
    if (it == m_data->hintCodes.constEnd())
        return QString();
    // The label shows rich text: a '<' or '&' in a character or code must show as itself.
    return passage.mid(position, width).toHtmlEscaped() + QLatin1Char(' ') + kHintOpen + it->toHtmlEscaped() +
           kHintClose;
}

QString CodeFile::hintLabelAfterChange(const QString& reference, int typedLength, bool hintOn, bool freeMode) const
{
    if (typedLength <= 0)
        return QString();
    if (!hintOn || freeMode)
        return hintLabel(QString());
    return hintLabel(hintAt(reference, typedLength));
}

QString CodeFile::hintLabelForStart(const QString& reference, bool hintOn, bool freeMode) const
{
    if (!hintOn || freeMode)
        return hintLabel(QString());
    return hintLabel(hintAt(reference, 0));
}

QString CodeFile::hintLabel(const QString& hint)
{
    return QStringLiteral("编码提示: ") + hint;
}

int CodeFile::codedLength(const QString& passage) const
{
    if (!m_data || m_data->lines == 0 || passage.isEmpty())
        return -1;
    return m_data->codesApart ? m_data->fastCodedLength(passage) : m_data->literalCodedLength(passage);
}

QString CodeFile::theoreticalCodeLengthText(const QString& passage, bool freeMode) const
{
    if (freeMode)
        return QString();
    const int coded = codedLength(passage);
    if (coded < 0)
        return QString();
    return QStringLiteral("理论码长:") + QString::number(double(coded) / passage.size(), 'f', 2);
}
