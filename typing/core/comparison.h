#ifndef TAVREL_COMPARISON_H
#define TAVREL_COMPARISON_H

#include <QString>
#include <QVector>

#include <climits>
#include <functional>
#include <memory>

class QElapsedTimer;

// Widget-free logic of a typing run in follow and blind mode: the passage is laid out in pages,
// each change of the typing pane is compared with the page once, and the window paints the
// answer (runs of equal state) onto the reference pane with character formats.
//
// Units: every position and length here is in UTF-16 units (QString positions, which are also
// QTextDocument positions), because the page size, the typed count and the progress count
// QString length. Characters are compared by code point: the two units of a surrogate pair always
// share one state and count as one wrong or collected character.

// Values of the typing mode setting.
enum TypingModeValue { FollowTyping = 0, FreeTyping = 1, BlindTyping = 2 };

// A span of a text in UTF-16 units.
struct TextRange
{
    int start = 0;
    int length = 0;
    bool isEmpty() const { return length <= 0; }
};

// The loading clean-up of a passage: with `removeBlanks` every white-space character goes (tabs,
// line breaks, ideographic blanks too), then with `convertPunct` the punctuation is unified.
QString cleanPassage(const QString& text, bool removeBlanks, bool convertPunct);

// Paging values, clamped where they are used so that a missing or silly setting can neither turn
// a page on every change nor index out of range: page size 20-600, look-back and look-ahead 0-10.
// The stored settings are left as they are.
class PageLayout
{
public:
    static constexpr int MinPageSize = 20;
    static constexpr int MaxPageSize = 600;
    static constexpr int MaxPreview = 10;

    PageLayout() : PageLayout(500, 10, 10) {}
    PageLayout(int pageSize, int lookBack, int lookAhead);

    int pageSize() const { return m_pageSize; }   // Fanye
    int lookBack() const { return m_lookBack; }   // Yulanq
    int lookAhead() const { return m_lookAhead; } // Yulanh
    // Characters by which one page moves on from the one before; always at least 10.
    int step() const { return m_pageSize - m_lookBack; }
    // Length of a shown page: the page and its look-ahead.
    int shownLength() const { return m_pageSize + m_lookAhead; }

    // A passage is paged only when it is longer than one page.
    bool isPaged(int passageLength) const { return passageLength > m_pageSize; }
    // First passage position of page `pageNumber` (from 1).
    int pageStart(int pageNumber) const;
    // What the reference pane shows on page `pageNumber`.
    QString pageText(const QString& passage, int pageNumber) const;
    // The passage text not yet shown by the pages up to `pageNumber`.
    QString remainingAfter(const QString& passage, int pageNumber) const;
    // A page turns when the passage is paged and the page is typed up to its size.
    bool turnDue(int passageLength, int typedOnPage) const;
    // What the typing pane keeps after a turn: the look-back already typed and anything typed
    // beyond the page.
    QString keptAfterTurn(const QString& typedPage) const;
    // Characters typed of the whole passage.
    int typedCount(int pageNumber, int typedOnPage) const;
    // Length of the page part whose errors count on this page; the look-back part is counted
    // again on the next page, where it can still be corrected.
    int countedLength(int passageLength) const;
    // The look-ahead of the shown page (underlined in red) when the passage is paged.
    TextRange lookAheadRange(int passageLength, int shownPageLength) const;

private:
    int m_pageSize;
    int m_lookBack;
    int m_lookAhead;
};

enum class CharState : quint8 { Untyped, Right, Wrong };

// A run of equal state over the reference page, in UTF-16 units.
struct StateRun
{
    int start = 0;
    int length = 0;
    CharState state = CharState::Untyped;
};

// One comparison of a reference page with the typed page: the state of every reference position
// is computed once; runs, counts and wrong characters are read from it.
class PageComparison
{
public:
    PageComparison() = default;
    PageComparison(const QString& reference, const QString& typed);

    const QString& reference() const { return m_reference; }
    const QString& typed() const { return m_typed; }
    int typedLength() const { return m_typed.size(); }

    // State of the reference unit at `position` (Untyped outside the page).
    CharState stateAt(int position) const;
    // Runs covering the whole reference page, in order, with no gap. With `hideWrong` (blind mode
    // before the end) wrong positions show as right.
    QVector<StateRun> runs(bool hideWrong = false) const;
    // Wrong characters that start before `limit`, and their reference characters in order.
    int wrongCount(int limit = INT_MAX) const;
    QString wrongChars(int limit = INT_MAX) const;
    // The end test: the page's last character is typed and right (false for an empty page).
    bool lastCharRight() const;

private:
    QString m_reference;
    QString m_typed;
    QVector<CharState> m_states; // one per reference unit
    QVector<int> m_wrongStarts;  // start of each wrong character, ascending
};

// True while blind mode hides the errors (the passage is not typed to its end yet).
inline bool hidesWrong(int mode, bool blindEnd)
{
    return mode == BlindTyping && !blindEnd;
}

// The final list of wrong positions of a run (frmMain::fillCompareRow).
struct CompareRow
{
    QString wrongRefChars;   // passage characters at the wrong positions
    QString wrongTypedChars; // what was typed there, one character per wrong position
    int wrongCount = 0;      // wrong characters (code points)
};
CompareRow compareWhole(const QString& passage, const QString& typedAll);

// What a change of the typing pane asks of the window.
struct PageChange
{
    // The page as typed before any turn; the collections scan this one.
    PageComparison compared;
    // The page turned: the reference pane shows referencePage() and the typing pane is to be set to
    // keptTyped (that change comes back through typedChanged and alters nothing).
    bool turned = false;
    QString keptTyped;
};

// The run over one passage in follow and blind mode: its pages, the typed count, the wrong counts
// and the typed text gathered page by page: the one copy of the run's state, which the window
// reads through the typing view. The reference pane shows referencePage() as plain text and paints displayRuns() over it;
// comparisons use referencePage() itself, since a document's plain text turns no-break blanks
// into blanks.
class PassageRun
{
public:
    explicit PassageRun(const PageLayout& layout = PageLayout());

    // Takes the layout for the next load or restart (a page on show keeps its old layout).
    void setLayout(const PageLayout& layout) { m_nextLayout = layout; }
    const PageLayout& layout() const { return m_layout; }

    // Lays a new (already cleaned) passage and restarts on page 1.
    void load(const QString& passage);
    // Back to page 1 with every count of the run cleared.
    void restart();

    // One change of the typing pane (its whole text, already trimmed to the page): compares,
    // counts the page's wrong characters and turns the page when it is typed up.
    PageChange typedChanged(const QString& typedPage, int mode);

    // The typed text of the page joins typedAll: the part that the next page does not repeat, or
    // the whole pane at the end of the run. typedAll never grows past the passage.
    void appendTypedSlice(const QString& typedPane, bool finished);
    // Every wrong position of the finished run; wrongCount() takes its count.
    CompareRow fillCompareRow();

    const QString& passage() const { return m_passage; }
    int passageLength() const { return m_passage.size(); }
    const QString& referencePage() const { return m_referencePage; }
    const QString& remainingText() const { return m_remainingText; }
    int pageNumber() const { return m_pageNumber; }
    int typedCount() const { return m_typedCount; }
    int pageWrong() const { return m_pageWrong; }
    const QString& pageWrongChars() const { return m_pageWrongChars; }
    int wrongBeforePage() const { return m_wrongBeforePage; }
    int wrongCount() const { return m_wrongCount; }
    const QString& typedAll() const { return m_typedAll; }
    // The last whole-passage comparison (fillCompareRow); empty after a load or restart.
    const CompareRow& wholeComparison() const { return m_wholeRow; }
    bool blindEnd() const { return m_blindEnd; }

    // The current page's comparison and the runs to paint (blind mode hides errors until the end).
    const PageComparison& comparison() const { return m_comparison; }
    QVector<StateRun> displayRuns() const { return m_comparison.runs(hidesWrong(m_mode, m_blindEnd)); }
    TextRange lookAheadRange() const;

private:
    void compareCurrent(const QString& typedPage);

    PageLayout m_layout;
    PageLayout m_nextLayout;
    QString m_passage;
    QString m_referencePage;
    QString m_remainingText;
    int m_pageNumber = 1;
    int m_typedCount = 0;
    int m_pageWrong = 0;
    QString m_pageWrongChars;
    int m_wrongBeforePage = 0;
    int m_wrongCount = 0;
    QString m_typedAll;
    CompareRow m_wholeRow;
    bool m_blindEnd = false;
    int m_mode = FollowTyping;
    PageComparison m_comparison;
};

// The collections of wrongly and slowly typed characters. The collector keeps the scan lengths and
// the time of the last growth; the time comes from a monotonic millisecond source the caller may
// inject (tests fix it), so no false slow character appears when the wall clock jumps.
class CharCollector
{
public:
    using Clock = std::function<qint64()>;

    // Without a clock the collector measures with its own monotonic timer.
    explicit CharCollector(Clock clock = Clock());

    // One change: when the typed page grew since the last scan, every typed reference character
    // is looked at again: a wrong one joins `wrongChars`; when practising the wrong-character
    // collection, a right one leaves it. The collection stays de-duplicated.
    void scanWrong(QString& wrongChars, const PageComparison& page, const QString& textTitle);
    // One change: when the typed page grew, the characters under the last commit are timed since
    // the last growth; at or below `limitPerMinute` they join `slowChars`, else when practising
    // the slow-character collection they leave it. The first growth ever is never slow.
    void scanSlow(QString& slowChars, const PageComparison& page, const QString& lastInputText, int limitPerMinute,
                  const QString& textTitle);

    int wrongScanLength() const { return m_wrongScanLength; }
    int slowScanLength() const { return m_slowScanLength; }

    // Each character (code point) kept at its first place.
    static QString dedupe(const QString& chars);

private:
    Clock m_clock;
    std::shared_ptr<QElapsedTimer> m_ownTimer;
    bool m_hasGrowth = false;
    qint64 m_lastGrowthMs = 0;
    int m_wrongScanLength = 0;
    int m_slowScanLength = 0;
};

// The count and progress labels of the bottom bar.
struct ProgressInfo
{
    double percent = 0.0; // 0 for an empty passage
    QString countText;    // "总字数: " and the passage length
    QString progressText; // "进度: " and the percent with two decimals and "%"
    int barValue = 0;     // the percent with its fraction cut off, 0-100
};
ProgressInfo progressInfo(int typedCount, int passageLength);

// Typing past the reference page: the extra characters just before the cursor go, and the cursor
// stays where they were. A surrogate pair is never split.
struct TrimResult
{
    QString text;
    int cursor = 0;
    bool changed = false;
};
TrimResult trimToLength(const QString& text, int cursor, int maxLength);

#endif
