#include "typing/typingview.h"

#include "app/core/app.h"
#include "app/core/textchars.h"

#include <QColor>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace {

// What a reference position shows. Unknown forces a repaint of that position.
enum PaintState : quint8 { PaintUntyped, PaintRight, PaintWrong, PaintUnknown };

PaintState paintStateOf(CharState state, bool hideWrong)
{
    switch (state) {
    case CharState::Right:
        return PaintRight;
    case CharState::Wrong:
        return hideWrong ? PaintRight : PaintWrong;
    case CharState::Untyped:
        break;
    }
    return PaintUntyped;
}

} // namespace

TypingView::TypingView(QTextEdit* reference, QTextEdit* typing, QObject* parent)
    : QObject(parent), m_reference(reference), m_typing(typing)
{
}

int TypingView::paneLength() const
{
    // A document always ends with one block separator.
    return m_typing->document()->characterCount() - 1;
}

void TypingView::setUpPanes(QObject* filter)
{
    if (m_panesSetUp)
        return;
    m_panesSetUp = true;
    // Painting the reference pane is no edit anyone could undo; keeping an undo history of it
    // would only grow with every change.
    m_reference->setUndoRedoEnabled(false);
    // Pasting into the typing pane is refused by every road: the keys and the mouse in the event
    // filter, the context menu is off, and nothing may be dropped.
    m_typing->setAcceptDrops(false);
    m_typing->viewport()->setAcceptDrops(false);
    m_typing->viewport()->installEventFilter(filter);
}

void TypingView::load(const QString& passage, const PageLayout& layout)
{
    m_run.setLayout(layout);
    m_run.load(passage);
    m_freeTyped = 0;
}

void TypingView::restart(int mode)
{
    m_freeHeld = 0;
    m_freeTyped = 0;
    const bool otherPage = m_run.pageNumber() != 1;
    m_run.restart();
    if (otherPage)
        showReferencePage(mode);
    else
        showReferenceStart();
}

void TypingView::showReferenceStart()
{
    // The pane follows the typing pane's scrolling only while something is typed; a new run or page
    // starts at the passage's first line, not where the last run left it.
    m_reference->verticalScrollBar()->setValue(0);
}

void TypingView::showReferencePage(int mode)
{
    {
        const QSignalBlocker blocker(m_reference);
        m_reference->document()->setPlainText(m_run.referencePage());
    }
    showReferenceStart();
    m_paintedStates.fill(PaintUnknown, m_run.referencePage().size());
    paintReference(mode, true);
}

void TypingView::paintReference(int mode, bool whole)
{
    const int size = m_run.referencePage().size();
    if (whole || m_paintedStates.size() != size)
        m_paintedStates.fill(PaintUnknown, size);

    const PageComparison& page = m_run.comparison();
    const bool hideWrong = hidesWrong(mode, m_run.blindEnd());
    QVector<quint8> wanted(size);
    int first = size;
    int last = -1;
    for (int i = 0; i < size; ++i) {
        wanted[i] = paintStateOf(page.stateAt(i), hideWrong);
        if (wanted.at(i) != m_paintedStates.at(i)) {
            first = std::min(first, i);
            last = i;
        }
    }
    if (last < 0)
        return;

    // Only the span that changed is formatted again: typing one character repaints one position.
    const TextRange lookAhead = m_run.lookAheadRange();
    QTextCharFormat formats[3][2];
    const QString colours[3] = {App::Dbj, App::Rc, App::Wc};
    for (int state = 0; state < 3; ++state) {
        for (int ahead = 0; ahead < 2; ++ahead) {
            QTextCharFormat& format = formats[state][ahead];
            format.setBackground(QColor(colours[state]));
            format.setUnderlineStyle(ahead ? QTextCharFormat::SingleUnderline : QTextCharFormat::NoUnderline);
            if (ahead)
                format.setUnderlineColor(Qt::red);
        }
    }

    const QSignalBlocker blocker(m_reference);
    QTextCursor cursor(m_reference->document());
    cursor.beginEditBlock();
    int start = first;
    while (start <= last) {
        const bool ahead = !lookAhead.isEmpty() && start >= lookAhead.start;
        int end = start + 1;
        while (end <= last && wanted.at(end) == wanted.at(start) &&
               (lookAhead.isEmpty() || (end >= lookAhead.start) == ahead))
            ++end;
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(formats[wanted.at(start)][ahead ? 1 : 0]);
        start = end;
    }
    cursor.endEditBlock();
    m_paintedStates = wanted;
}

void TypingView::appendTypedSlice(bool finished)
{
    m_run.appendTypedSlice(m_typing->toPlainText(), finished);
}

void TypingView::setTypingText(const QString& text, int cursor)
{
    const QSignalBlocker blocker(m_typing);
    m_typing->setPlainText(text);
    QTextCursor c = m_typing->textCursor();
    c.setPosition(qBound(0, cursor, int(text.size())));
    m_typing->setTextCursor(c);
    m_paneLength = text.size();
}

void TypingView::setTypingStyle(const QString& style)
{
    // Setting a style sheet re-polishes the pane; the end test asks for the same one on every tick.
    if (m_typing->styleSheet() != style)
        m_typing->setStyleSheet(style);
}

QString TypingView::fitTypingPane()
{
    const QString text = m_typing->toPlainText();
    const TrimResult trimmed = trimToLength(text, m_typing->textCursor().position(), m_run.referencePage().size());
    if (!trimmed.changed)
        return text;
    setTypingText(trimmed.text, trimmed.cursor);
    return trimmed.text;
}

void TypingView::freeChange()
{
    // Free mode only counts: no comparison and no copy of a text that may be very long.
    int length = paneLength();
    trimFreePane(length);
    m_freeTyped = m_freeHeld + length;
    m_paneLength = length;
}

void TypingView::trimFreePane(int& length)
{
    const int limit = 3000;
    const int keep = 1000;
    if (length <= limit)
        return;
    const int cut = length - keep;
    QTextCursor cursor(m_typing->document());
    cursor.setPosition(cut, QTextCursor::KeepAnchor);
    // A character outside the Basic Multilingual Plane stays whole on one side of the cut.
    const QTextDocument* document = m_typing->document();
    if (TextChars::isPair(document->characterAt(cut - 1), document->characterAt(cut)))
        cursor.setPosition(cut + 1, QTextCursor::KeepAnchor);
    const int removed = cursor.selectionEnd();
    const int typingAt = m_typing->textCursor().position();
    {
        const QSignalBlocker blocker(m_typing);
        cursor.removeSelectedText();
        QTextCursor at = m_typing->textCursor();
        at.setPosition(std::max(0, typingAt - removed));
        m_typing->setTextCursor(at);
    }
    m_freeHeld += removed;
    length -= removed;
}

QString TypingView::grownText(int length) const
{
    const int grown = std::max(0, length - m_paneLength);
    QTextCursor cursor = m_typing->textCursor();
    const int end = cursor.position();
    cursor.setPosition(std::max(0, end - grown));
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

PageComparison TypingView::typedChange(const QString& typed, int mode)
{
    const PageChange change = m_run.typedChanged(typed, mode);
    if (change.turned) {
        showReferencePage(mode);
        setTypingText(change.keptTyped, change.keptTyped.size());
    } else {
        m_paneLength = typed.size();
        paintReference(mode, false);
    }
    return change.compared;
}
