#include "typing/core/comparison.h"

#include "app/core/app.h"
#include "app/core/textchars.h"
#include "typing/core/sourcenames.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

void appendCodePoint(QString& text, uint cp)
{
    if (QChar::requiresSurrogates(cp)) {
        text.append(QChar(QChar::highSurrogate(cp)));
        text.append(QChar(QChar::lowSurrogate(cp)));
    } else {
        text.append(QChar(ushort(cp)));
    }
}

struct CollectOp
{
    uint cp;
    bool append;
};

// Applies appends and removals (every occurrence) in order to a collection and de-duplicates it,
// in one pass: a character that is never removed keeps its old place; one that is (re)appended
// after its last removal goes behind, in the order of that first append. This is what appending
// and removing one by one and then de-duplicating gives, without rescanning the collection for
// every typed position.
QString applyOps(const QString& collection, const QVector<CollectOp>& ops)
{
    QHash<uint, int> lastRemoval;
    for (int k = 0; k < ops.size(); ++k) {
        if (!ops.at(k).append)
            lastRemoval.insert(ops.at(k).cp, k);
    }
    QSet<uint> kept;
    QString out;
    out.reserve(collection.size() + ops.size());
    for (int i = 0; i < collection.size();) {
        const int w = TextChars::width(collection, i);
        const uint cp = TextChars::codePoint(collection, i);
        if (!lastRemoval.contains(cp) && !kept.contains(cp)) {
            kept.insert(cp);
            out.append(collection.midRef(i, w));
        }
        i += w;
    }
    for (int k = 0; k < ops.size(); ++k) {
        const CollectOp& op = ops.at(k);
        if (!op.append || kept.contains(op.cp))
            continue;
        const auto removed = lastRemoval.constFind(op.cp);
        if (removed != lastRemoval.constEnd() && removed.value() > k)
            continue;
        kept.insert(op.cp);
        appendCodePoint(out, op.cp);
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Loading

QString cleanPassage(const QString& text, bool removeBlanks, bool convertPunct)
{
    QString out = text;
    if (removeBlanks)
        out = out.simplified().remove(QLatin1Char(' '));
    if (convertPunct)
        App::convertPunct(out);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Paging

PageLayout::PageLayout(int pageSize, int lookBack, int lookAhead)
    : m_pageSize(qBound(MinPageSize, pageSize, MaxPageSize)), m_lookBack(qBound(0, lookBack, MaxPreview)),
      m_lookAhead(qBound(0, lookAhead, MaxPreview))
{
}

int PageLayout::pageStart(int pageNumber) const
{
    const qint64 start = qint64(std::max(pageNumber, 1) - 1) * step();
    return int(std::min<qint64>(start, INT_MAX));
}

QString PageLayout::pageText(const QString& passage, int pageNumber) const
{
    return passage.mid(pageStart(pageNumber), shownLength());
}

QString PageLayout::remainingAfter(const QString& passage, int pageNumber) const
{
    const int next = pageNumber < INT_MAX ? pageNumber + 1 : pageNumber;
    return passage.mid(pageStart(next));
}

bool PageLayout::turnDue(int passageLength, int typedOnPage) const
{
    return isPaged(passageLength) && typedOnPage >= m_pageSize;
}

QString PageLayout::keptAfterTurn(const QString& typedPage) const
{
    return typedPage.mid(step(), shownLength());
}

int PageLayout::typedCount(int pageNumber, int typedOnPage) const
{
    return typedOnPage + pageStart(pageNumber);
}

int PageLayout::countedLength(int passageLength) const
{
    return m_pageSize - (isPaged(passageLength) ? m_lookBack : 0);
}

TextRange PageLayout::lookAheadRange(int passageLength, int shownPageLength) const
{
    TextRange range;
    if (isPaged(passageLength) && shownPageLength > m_pageSize) {
        range.start = m_pageSize;
        range.length = shownPageLength - m_pageSize;
    }
    return range;
}

// ---------------------------------------------------------------------------------------------
// Comparison

PageComparison::PageComparison(const QString& reference, const QString& typed)
    : m_reference(reference), m_typed(typed), m_states(reference.size(), CharState::Untyped)
{
    const int n = typed.size();
    const int r = reference.size();
    for (int i = 0; i < r && i < n;) {
        const int w = TextChars::width(reference, i);
        // A pair typed only by half is typed, and wrong.
        const bool right =
            i + w <= n && typed.at(i) == reference.at(i) && (w == 1 || typed.at(i + 1) == reference.at(i + 1));
        const CharState state = right ? CharState::Right : CharState::Wrong;
        m_states[i] = state;
        if (w == 2)
            m_states[i + 1] = state;
        if (!right)
            m_wrongStarts.append(i);
        i += w;
    }
}

CharState PageComparison::stateAt(int position) const
{
    if (position < 0 || position >= m_states.size())
        return CharState::Untyped;
    return m_states.at(position);
}

QVector<StateRun> PageComparison::runs(bool hideWrong) const
{
    QVector<StateRun> result;
    for (int i = 0; i < m_states.size(); ++i) {
        CharState state = m_states.at(i);
        if (hideWrong && state == CharState::Wrong)
            state = CharState::Right;
        if (!result.isEmpty() && result.last().state == state)
            ++result.last().length;
        else
            result.append(StateRun{i, 1, state});
    }
    return result;
}

int PageComparison::wrongCount(int limit) const
{
    return int(std::lower_bound(m_wrongStarts.cbegin(), m_wrongStarts.cend(), limit) - m_wrongStarts.cbegin());
}

QString PageComparison::wrongChars(int limit) const
{
    QString chars;
    for (int start : m_wrongStarts) {
        if (start >= limit)
            break;
        chars.append(m_reference.midRef(start, TextChars::width(m_reference, start)));
    }
    return chars;
}

bool PageComparison::lastCharRight() const
{
    return !m_states.isEmpty() && m_states.last() == CharState::Right;
}

CompareRow compareWhole(const QString& passage, const QString& typedAll)
{
    const PageComparison whole(passage, typedAll);
    CompareRow row;
    row.wrongRefChars = whole.wrongChars();
    row.wrongCount = whole.wrongCount();
    for (int start = 0; start < passage.size();) {
        const int w = TextChars::width(passage, start);
        if (whole.stateAt(start) == CharState::Wrong)
            row.wrongTypedChars.append(TextChars::withoutLoneHalves(typedAll.mid(start, w)));
        start += w;
    }
    return row;
}

// ---------------------------------------------------------------------------------------------
// The run over one passage

PassageRun::PassageRun(const PageLayout& layout) : m_layout(layout), m_nextLayout(layout) {}

void PassageRun::load(const QString& passage)
{
    m_passage = passage;
    restart();
}

void PassageRun::restart()
{
    m_layout = m_nextLayout;
    m_pageNumber = 1;
    m_referencePage = m_layout.pageText(m_passage, 1);
    m_remainingText = m_layout.remainingAfter(m_passage, 1);
    m_typedCount = 0;
    m_pageWrong = 0;
    m_pageWrongChars.clear();
    m_wrongBeforePage = 0;
    m_wrongCount = 0;
    m_typedAll.clear();
    m_wholeRow = CompareRow();
    m_blindEnd = false;
    m_comparison = PageComparison(m_referencePage, QString());
}

void PassageRun::compareCurrent(const QString& typedPage)
{
    m_comparison = PageComparison(m_referencePage, typedPage);
    // Always the current mismatch count, so a corrected character stops counting at once.
    const int counted = m_layout.countedLength(passageLength());
    m_pageWrong = m_comparison.wrongCount(counted);
    m_pageWrongChars = m_comparison.wrongChars(counted);
    m_wrongCount = m_wrongBeforePage + m_pageWrong;
    m_typedCount = m_layout.typedCount(m_pageNumber, typedPage.size());
}

PageChange PassageRun::typedChanged(const QString& typedPage, int mode)
{
    m_mode = mode;
    compareCurrent(typedPage);

    PageChange change;
    change.compared = m_comparison;
    QString typed = typedPage;
    // A turn needs a next page to show: without one (no look-back and the passage ending right
    // at the page) the last page simply stays, and nothing is counted twice.
    while (m_layout.turnDue(passageLength(), typed.size()) && !m_remainingText.isEmpty()) {
        m_wrongBeforePage += m_pageWrong;
        ++m_pageNumber;
        appendTypedSlice(typed, false);
        m_referencePage = m_remainingText.left(m_layout.shownLength());
        m_remainingText.remove(0, m_layout.step());
        typed = m_layout.keptAfterTurn(typed);
        change.turned = true;
        change.keptTyped = typed;
        // The kept text is compared with the new page at once, so the counts are right even
        // before the typing pane reports its new content.
        compareCurrent(typed);
    }

    if (mode == BlindTyping && m_typedCount >= passageLength())
        m_blindEnd = true;
    return change;
}

void PassageRun::appendTypedSlice(const QString& typedPane, bool finished)
{
    m_typedAll += finished ? typedPane : typedPane.left(m_layout.step());
    m_typedAll.truncate(m_passage.size());
}

CompareRow PassageRun::fillCompareRow()
{
    m_wholeRow = compareWhole(m_passage, m_typedAll);
    m_wrongCount = m_wholeRow.wrongCount;
    return m_wholeRow;
}

TextRange PassageRun::lookAheadRange() const
{
    return m_layout.lookAheadRange(passageLength(), m_referencePage.size());
}

// ---------------------------------------------------------------------------------------------
// Collections

CharCollector::CharCollector(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock) {
        m_ownTimer = std::make_shared<QElapsedTimer>();
        m_ownTimer->start();
        const std::shared_ptr<QElapsedTimer> timer = m_ownTimer;
        m_clock = [timer] { return timer->elapsed(); };
    }
}

void CharCollector::scanWrong(QString& wrongChars, const PageComparison& page, const QString& textTitle)
{
    const int n = page.typedLength();
    if (n < 1)
        return;
    if (n > m_wrongScanLength) {
        const bool practice = textTitle == WrongPracticeTitle;
        const QString& ref = page.reference();
        QVector<CollectOp> ops;
        for (int i = 0; i < ref.size() && i < n;) {
            const int w = TextChars::width(ref, i);
            const CharState state = page.stateAt(i);
            if (state == CharState::Wrong)
                ops.append(CollectOp{TextChars::codePoint(ref, i), true});
            else if (state == CharState::Right && practice)
                ops.append(CollectOp{TextChars::codePoint(ref, i), false});
            i += w;
        }
        wrongChars = applyOps(wrongChars, ops);
    }
    m_wrongScanLength = n;
}

void CharCollector::scanSlow(QString& slowChars, const PageComparison& page, const QString& lastInputText,
                             int limitPerMinute, const QString& textTitle)
{
    const int n = page.typedLength();
    if (n < 1)
        return;
    if (m_slowScanLength >= n) {
        m_slowScanLength = n;
        return;
    }

    const qint64 now = m_clock();
    const double minutes = m_hasGrowth ? double(now - m_lastGrowthMs) / 1000.0 / 60.0 : 0.0;
    m_hasGrowth = true;
    m_lastGrowthMs = now;

    // The reference characters under the last commit.
    const QString& ref = page.reference();
    const int end = std::min(n, ref.size());
    QString newChars;
    if (lastInputText.size() == 1) {
        if (n - 1 < ref.size()) {
            const int start = TextChars::start(ref, n - 1);
            newChars = ref.mid(start, TextChars::width(ref, start));
        }
    } else if (!lastInputText.isEmpty()) {
        const int start = TextChars::start(ref, std::max(0, end - int(lastInputText.size())));
        newChars = ref.mid(start, end - start);
    }

    if (minutes > 0.0 && double(n - m_slowScanLength) / minutes <= limitPerMinute) {
        slowChars += newChars;
    } else if (textTitle == SlowPracticeTitle && !newChars.isEmpty()) {
        // The commit's characters leave as one text, as they were typed.
        slowChars.remove(newChars);
    }
    slowChars = dedupe(slowChars);
    m_slowScanLength = n;
}

QString CharCollector::dedupe(const QString& chars)
{
    return applyOps(chars, {});
}

// ---------------------------------------------------------------------------------------------
// Bottom bar

ProgressInfo progressInfo(int typedCount, int passageLength)
{
    ProgressInfo info;
    if (passageLength > 0)
        info.percent = double(typedCount) / double(passageLength) * 100.0;
    info.countText = QStringLiteral("总字数: ") + QString::number(passageLength);
    info.progressText = QStringLiteral("进度: ") + QString::number(info.percent, 'f', 2) + QLatin1Char('%');
    info.barValue = qBound(0, int(info.percent), 100);
    return info;
}

TrimResult trimToLength(const QString& text, int cursor, int maxLength)
{
    TrimResult result;
    result.text = text;
    result.cursor = cursor;
    const int excess = text.size() - std::max(maxLength, 0);
    if (excess <= 0)
        return result;
    int end = qBound(0, cursor, int(text.size()));
    int start = end - excess;
    if (start < 0) {
        start = 0;
        end = excess;
    }
    start = TextChars::start(text, start);
    if (TextChars::start(text, end) < end)
        ++end;
    result.text.remove(start, end - start);
    result.cursor = start;
    result.changed = true;
    return result;
}
