#include "typing/core/codefile.h"

#include "app/core/app.h"
#include "app/core/textchars.h"
#include "app/core/textlines.h"
#include "typing/core/results.h"

#include <QDebug>
#include <QHash>
#include <QSet>
#include <QStringView>

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// The literal code length gives up once its copy of the passage grows past either bound.
constexpr int kLiteralLimit = 1000000;
constexpr int kLiteralFactor = 50;

const QString kHintOpen = QStringLiteral("<font color='red';><b>");
const QString kHintClose = QStringLiteral("</b></font>");

} // namespace

struct CodeFile::Data
{
    using Line = TextLines::CodeLine;
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

    // Fast form (codesApart): the distinct entry texts in the order of their first line, matched
    // all at once by an automaton built once (Aho-Corasick over UTF-16 units), so a passage costs
    // one pass plus the matches found, however long the entries are.
    std::vector<Entry> entries;
    struct Node
    {
        int fail = 0;    // longest proper suffix of this node's text that is also a node
        int output = -1; // nearest node down the fail chain that ends an entry
        int entry = -1;  // entry number ending here, -1 for a prefix only
        int depth = 0;
    };
    std::vector<Node> nodes;
    std::unordered_map<quint64, int> next; // (node << 16 | unit) -> child

    int child(int node, char16_t unit) const
    {
        const auto it = next.find(quint64(node) << 16 | unit);
        return it == next.end() ? -1 : it->second;
    }
    void addEntry(const QString& text, int entry);
    void linkAutomaton();

    // Literal form (codes and entries share characters): every good line in file order, and the
    // UTF-16 units that occur in some code, so lines that can never match are passed over.
    QVector<Line> lineList;
    std::vector<bool> codeUnits;

    int fastCodedLength(const QString& passage) const;
    int literalCodedLength(const QString& passage) const;
};

void CodeFile::Data::addEntry(const QString& text, int entry)
{
    int node = 0;
    for (const QChar c : text) {
        int to = child(node, c.unicode());
        if (to < 0) {
            to = int(nodes.size());
            Node n;
            n.depth = nodes[size_t(node)].depth + 1;
            nodes.push_back(n);
            next.emplace(quint64(node) << 16 | c.unicode(), to);
        }
        node = to;
    }
    nodes[size_t(node)].entry = entry;
}

void CodeFile::Data::linkAutomaton()
{
    // Children by parent, so the nodes can be linked breadth first (a fail link points higher up).
    std::vector<std::vector<std::pair<char16_t, int>>> children(nodes.size());
    for (const auto& [key, to] : next)
        children[size_t(key >> 16)].emplace_back(char16_t(key & 0xFFFF), to);
    std::vector<int> queue{0};
    for (size_t head = 0; head < queue.size(); ++head) {
        const int parent = queue[head];
        for (const auto& [unit, to] : children[size_t(parent)]) {
            int fail = 0;
            if (parent != 0) {
                int f = nodes[size_t(parent)].fail;
                while (f != 0 && child(f, unit) < 0)
                    f = nodes[size_t(f)].fail;
                const int via = child(f, unit);
                fail = via >= 0 ? via : 0;
            }
            Node& n = nodes[size_t(to)];
            n.fail = fail;
            n.output = nodes[size_t(fail)].entry >= 0 ? fail : nodes[size_t(fail)].output;
            queue.push_back(to);
        }
    }
}

int CodeFile::Data::fastCodedLength(const QString& passage) const
{
    const int n = passage.size();
    // (entry number, position) of every place where an entry text starts.
    std::vector<std::pair<int, int>> found;
    int state = 0;
    for (int i = 0; i < n; ++i) {
        const char16_t unit = passage.at(i).unicode();
        int to = child(state, unit);
        while (to < 0 && state != 0) {
            state = nodes[size_t(state)].fail;
            to = child(state, unit);
        }
        state = to < 0 ? 0 : to;
        for (int m = nodes[size_t(state)].entry >= 0 ? state : nodes[size_t(state)].output; m > 0;
             m = nodes[size_t(m)].output)
            found.emplace_back(nodes[size_t(m)].entry, i + 1 - nodes[size_t(m)].depth);
    }
    // Grouped by entry (a counting sort: each group is already in position order, as found).
    std::vector<int> start(entries.size() + 1, 0);
    for (const auto& f : found)
        ++start[size_t(f.first) + 1];
    for (size_t e = 1; e < start.size(); ++e)
        start[e] += start[e - 1];
    std::vector<std::pair<int, int>> ordered(found.size());
    for (const auto& f : found)
        ordered[size_t(start[size_t(f.first)]++)] = f;

    // Entries in file order, each taking its occurrences left to right where no character was
    // replaced yet, by an earlier entry or by its own occurrence just before (overlap). The
    // replaced stretches never overlap, so a map from start to end answers each test at once.
    std::map<int, int> replaced;
    int length = n;
    for (const auto& [entry, pos] : ordered) {
        const Entry& e = entries[size_t(entry)];
        const int end = pos + e.textLength;
        auto after = replaced.upper_bound(pos);
        if (after != replaced.end() && after->first < end)
            continue;
        if (after != replaced.begin() && std::prev(after)->second > pos)
            continue;
        replaced.emplace_hint(after, pos, end);
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

    // A code may hold entry texts again, so the copy can double with every line: past the limit
    // the figure means nothing and is not worth the wait.
    const qint64 limit = qMin<qint64>(kLiteralLimit, qint64(kLiteralFactor) * passage.size());
    QString copy = passage;
    for (const Line& line : lineList) {
        bool possible = true;
        for (const QChar c : line.text) {
            if (!present[c.unicode()]) {
                possible = false;
                break;
            }
        }
        if (!possible)
            continue;
        // The length after the replacement, counted before the text is built.
        qint64 occurrences = 0;
        for (int at = copy.indexOf(line.text); at >= 0; at = copy.indexOf(line.text, at + line.text.size()))
            ++occurrences;
        if (occurrences == 0)
            continue;
        if (copy.size() + occurrences * (line.code.size() - line.text.size()) > limit) {
            qDebug().noquote() << QStringLiteral("理论码长不可用: 替换后的文本超过") << limit << QStringLiteral("字,")
                               << path;
            return -1;
        }
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

    const QVector<TextLines::CodeLine> good = TextLines::codeLines(text, sourceName, &data->lines, &data->skipped);

    std::vector<bool> entryUnits(0x10000, false);
    data->codeUnits.assign(0x10000, false);
    for (const Data::Line& line : good) {
        const uint cp = TextChars::codePoint(line.text, 0);
        if (TextChars::width(line.text, 0) == line.text.size())
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
        data->nodes.emplace_back();
        for (const Data::Line& line : good) {
            if (seen.contains(line.text))
                continue;
            seen.insert(line.text);
            data->addEntry(line.text, int(data->entries.size()));
            data->entries.push_back({line.text.size(), line.code.size()});
        }
        data->linkAutomaton();
        data->codeUnits.clear();
    } else {
        data->lineList = good;
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
    const uint cp = TextChars::codePoint(character, 0);
    if (TextChars::width(character, 0) != character.size())
        return QString();
    return m_data->hintCodes.value(cp);
}

QString CodeFile::hintAt(const QString& passage, int position) const
{
    if (!m_data || position < 0 || position >= passage.size())
        return QString();
    const uint cp = TextChars::codePoint(passage, position);
    const auto it = m_data->hintCodes.constFind(cp);
    if (it == m_data->hintCodes.constEnd())
        return QString();
    return hintFor(passage.mid(position, TextChars::width(passage, position)), *it);
}

QString CodeFile::hintFor(const QString& character, const QString& code)
{
    // The label shows rich text: a '<' or '&' in a character or code must show as itself.
    return character.toHtmlEscaped() + QLatin1Char(' ') + kHintOpen + code.toHtmlEscaped() + kHintClose;
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
    return TheoreticalLengthCaption + QString::number(double(coded) / passage.size(), 'f', 2);
}
