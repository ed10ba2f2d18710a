#ifndef TAVREL_TYPING_TYPINGVIEW_H
#define TAVREL_TYPING_TYPINGVIEW_H

#include <QObject>
#include <QString>
#include <QVector>

#include "typing/core/comparison.h"

class QTextEdit;

// The typing run on the two panes: the reference pane shows the current page of the passage,
// coloured by what the typing pane holds, and the typing pane is kept to the page's length. The
// run's state (passage, page, counts, typed text, wrong characters) is the comparison run's; a
// free run only counts, and keeps the recent end of a long typed text in the pane.
class TypingView : public QObject
{
    Q_OBJECT

public:
    // `reference` is the pane over `typing`; both belong to the window.
    TypingView(QTextEdit* reference, QTextEdit* typing, QObject* parent = nullptr);

    const PassageRun& run() const { return m_run; }
    // Characters typed in the run; a free run counts the ones moved out of the pane too.
    int typedCount(int mode) const { return mode == FreeTyping ? m_freeTyped : m_run.typedCount(); }
    // The typing pane's length as our own edits and the last change left it.
    int knownPaneLength() const { return m_paneLength; }
    // The typing pane's length now, read without copying its text.
    int paneLength() const;

    // Refuses drops on the typing pane and hands its viewport's events to `filter` (paste refusal).
    void setUpPanes(QObject* filter);
    // Lays a passage with `layout` on page 1; the counts start afresh.
    void load(const QString& passage, const PageLayout& layout);
    // Page 1 again with the page's counts, the typed text and the blind-mode end cleared.
    void restart(int mode);
    // One change of the typing pane in follow or blind mode: compared, turned to the next page when
    // due, and painted. Returns the comparison of the page as it was typed.
    PageComparison typedChange(const QString& typed, int mode);
    // One change in free mode: counts it, and keeps only the recent end of a long text in the pane.
    void freeChange();
    // Free mode: what the bottom bar counts, the held characters and the pane.
    int freeCount() const { return m_freeHeld + paneLength(); }
    // What the pane grew by before the cursor: a commit that came without a key or input event.
    QString grownText(int length) const;
    // Whole document, or only the positions whose state changed.
    void paintReference(int mode, bool whole);
    void showReferencePage(int mode);
    // Our own edit of the typing pane, which never comes back as a typed change.
    void setTypingText(const QString& text, int cursor);
    // A style sheet for the typing pane, set only when it differs (setting one re-polishes).
    void setTypingStyle(const QString& style);
    // Cuts the typing pane back to the page's length and returns its text as left.
    QString fitTypingPane();
    void appendTypedSlice(bool finished);
    void fillCompareRow() { m_run.fillCompareRow(); }

private:
    void trimFreePane(int& length);
    void showReferenceStart();

    QTextEdit* m_reference;
    QTextEdit* m_typing;
    PassageRun m_run;
    // Free mode: characters typed, the held ones included, and those moved out of the pane.
    int m_freeTyped = 0;
    int m_freeHeld = 0;
    int m_paneLength = 0;
    // The display state painted on each reference position, so a change repaints only what moved.
    QVector<quint8> m_paintedStates;
    bool m_panesSetUp = false;
};

#endif
