#include "typing/paneinput.h"

#include "app/core/app.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

// A character typed with one of these keys selected no candidate, though the key counts as one.
bool isSelectionKeyText(const QString& text)
{
    if (text.size() != 1)
        return false;
    const QChar c = text.at(0);
    return c == QLatin1Char(';') || c == QLatin1Char('\'') || (c >= QLatin1Char('2') && c <= QLatin1Char('9')) ||
           c == QLatin1Char('0');
}

bool isFullWidthSelectionText(const QString& text)
{
    return text == QStringLiteral("；") || text == QStringLiteral("‘") || text == QStringLiteral("’");
}

bool isMiddleButtonEvent(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return static_cast<const QMouseEvent*>(event)->button() == Qt::MiddleButton;
    default:
        return false;
    }
}

} // namespace

PaneInput::PaneInput(QObject* parent) : QObject(parent) {}

bool PaneInput::paneEvent(QEvent* event, bool atRunStart)
{
    auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    const bool repeat = key && key->isAutoRepeat();
    m_lastInput = key ? key->text() : static_cast<QInputMethodEvent*>(event)->commitString();
    ++App::KeyCount;
    ++m_events;

    if (!m_firstEventSeen) {
        m_firstEventSeen = true;
        if (!m_lastInput.isEmpty())
            takeUncounted();
    }

    // The keyboard source counted every selection key; one that produced its character selected
    // nothing. Full-width forms come from the input method's own punctuation and never go below 0.
    if (App::CountSelectKeys) {
        if (isSelectionKeyText(m_lastInput) && !repeat)
            --App::SelectCount;
        if (isFullWidthSelectionText(m_lastInput))
            App::SelectCount = std::max(App::SelectCount - 1, 0);
    }

    const int keyCode = key ? key->key() : 0;
    // The keyboard source counts only first key-downs; held Backspace and Escape count each repeat.
    if (repeat && (keyCode == Qt::Key_Backspace || keyCode == Qt::Key_Escape))
        ++App::BackCount;

    m_lastCommitLength = m_lastInput.size();
    if (m_lastCommitLength > 1)
        m_wordChars += m_lastCommitLength;

    // The first key of a run starts it afresh. The run starts with this key, so its characters stay
    // uncounted from now on: the first tick would otherwise show a speed of characters typed in no
    // time. The next key or commit is taken in its place, as the reset looks for a first one again.
    if (atRunStart) {
        emit runStartKey();
        if (!m_lastInput.isEmpty())
            takeUncounted();
    }

    if (!key)
        return !App::CountSelectKeys; // the system input method is shut out while the own panel works

    switch (keyCode) {
    case Qt::Key_F10:
        ++App::RightKeys;
        return false;
    case Qt::Key_Backspace:
    case Qt::Key_Escape:
        ++App::CorrectCount;
        // Its control character adds nothing to the day's count, and nothing is taken off.
        m_lastCommitLength = std::max(m_lastCommitLength - 1, 0);
        return false;
    case Qt::Key_Return:
        emit returnKey();
        return true;
    case Qt::Key_Enter:
        return true;
    default:
        break;
    }
    return key->matches(QKeySequence::Paste);
}

bool PaneInput::refusesPaste(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        event->ignore();
        return true;
    default:
        // The middle button pastes the X selection.
        return isMiddleButtonEvent(event);
    }
}

void PaneInput::notePlainInsertion(const QString& grown, int length)
{
    m_lastInput = grown;
    m_lastCommitLength = length;
    if (!m_firstEventSeen && !m_lastInput.isEmpty()) {
        m_firstEventSeen = true;
        takeUncounted();
    }
}

void PaneInput::takeUncounted()
{
    m_uncountedLength = m_lastInput.size();
    m_uncountedFitted = false;
}

void PaneInput::changeFitted(int cut)
{
    // The cut takes the characters before the cursor, the newest commit's first; what it took of
    // the first commit never stood in the pane, so it is not taken off the count either.
    if (!m_uncountedFitted)
        m_uncountedLength = std::max(0, m_uncountedLength - std::max(0, cut));
    m_uncountedFitted = true;
}

void PaneInput::reset()
{
    m_wordChars = 0;
    m_firstEventSeen = false;
    // The first key of the run is taken again, so a stale one cannot lower the next run's count.
    m_uncountedLength = 0;
    m_uncountedFitted = true;
}
