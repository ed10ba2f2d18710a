#include "input/core/codetable.h"

#include "app/core/app.h"
#include "app/core/textfiles.h"
#include "app/core/textlines.h"

#include <QDebug>

#include <algorithm>

QString CodeTable::pathFor(const QString& name)
{
    return QStringLiteral("mb/") + name + QStringLiteral(".txt");
}

QStringList CodeTable::names(const QString& baseFolder)
{
    return listedNames(listTextFiles(baseFolder + QStringLiteral("/mb"), TextNames::Exact));
}

bool CodeTable::open(const QString& path)
{
    bool ok = false;
    const QString text = App::readTextFile(path, &ok);
    if (!ok) {
        clear(); // the caller logs the failure once
        return false;
    }
    load(text, path);
    return true;
}

void CodeTable::clear()
{
    m_text.clear();
    m_entries.clear();
    m_byCode.clear();
    m_skipped = 0;
}

void CodeTable::load(const QString& text, const QString& sourceName)
{
    clear();
    m_text = text;
    const QChar* base = m_text.constData();
    m_entries.reserve(size_t(m_text.size() / 12 + 1));
    TextLines::forEachLine(m_text, [&](QStringView line, int lineNo) {
        QStringView code;
        QStringView word;
        if (TextLines::splitTab(line, &code, &word)) {
            m_entries.push_back({int(code.data() - base), int(code.size()), int(word.data() - base), int(word.size())});
        } else if (!line.isEmpty()) {
            // A line without a TAB has no word; an empty line is no entry either.
            ++m_skipped;
            qDebug() << "码表：跳过没有 TAB 的行" << sourceName << lineNo;
        }
        return true;
    });

    m_byCode.resize(m_entries.size());
    for (size_t i = 0; i < m_byCode.size(); ++i)
        m_byCode[i] = int(i);
    std::stable_sort(m_byCode.begin(), m_byCode.end(),
                     [this](int a, int b) { return codeAt(a).compare(codeAt(b)) < 0; });
}

QStringView CodeTable::codeAt(int entry) const
{
    const Entry& e = m_entries[size_t(entry)];
    return QStringView(m_text).mid(e.codePos, e.codeLen);
}

QStringView CodeTable::code(int entry) const
{
    return codeAt(entry);
}

QStringView CodeTable::word(int entry) const
{
    const Entry& e = m_entries[size_t(entry)];
    return QStringView(m_text).mid(e.wordPos, e.wordLen);
}

std::vector<int> CodeTable::lookup(QStringView prefix) const
{
    std::vector<int> found;
    if (prefix.isEmpty())
        return found;
    const auto lower = std::lower_bound(m_byCode.begin(), m_byCode.end(), prefix,
                                        [this](int entry, QStringView p) { return codeAt(entry).compare(p) < 0; });
    // Past the range: the first code whose first prefix.size() units sort after the prefix.
    const auto upper = std::upper_bound(lower, m_byCode.end(), prefix, [this](QStringView p, int entry) {
        const QStringView code = codeAt(entry);
        return p.compare(code.left(std::min(p.size(), code.size()))) < 0;
    });
    found.assign(lower, upper);
    if (!std::is_sorted(found.begin(), found.end()))
        std::sort(found.begin(), found.end());
    return found;
}
