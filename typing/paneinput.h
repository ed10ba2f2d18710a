#ifndef TAVREL_TYPING_PANEINPUT_H
#define TAVREL_TYPING_PANEINPUT_H

#include <QObject>
#include <QString>

class QEvent;

// What reaches the typing pane as keys and commits, beyond what the key source counts: the text of
// the last key or commit, the characters typed as words, the first commit of a run (which the
// figures do not count), the selection keys that selected nothing, held Backspace and Escape, and
// the refusal of pasted text and of Return.
class PaneInput : public QObject
{
    Q_OBJECT

public:
    explicit PaneInput(QObject* parent = nullptr);

    // One key press or input-method event on the typing pane; `atRunStart` when the pane is empty
    // on page 1. True when the pane must not get it.
    bool paneEvent(QEvent* event, bool atRunStart);
    // A mouse or drag event on the pane's viewport; true when it would paste.
    static bool refusesPaste(QEvent* event);
    // A change of the pane with no key or input event before it (the own input-method panel
    // inserts plain text): `grown` is the text before the cursor over the `length` the pane grew by.
    void notePlainInsertion(const QString& grown, int length);
    // Whether a key or input event came since the last change, and the mark of this change.
    bool eventSinceLastChange() const { return m_events != m_eventsAtChange; }
    void markChange() { m_eventsAtChange = m_events; }

    const QString& lastInputText() const { return m_lastInput; }
    // The length the day's record grows by for the last key or commit.
    int lastCommitLength() const { return m_lastCommitLength; }
    int wordChars() const { return m_wordChars; }
    const QString& uncountedChars() const { return m_uncounted; }
    // A new run: nothing typed yet.
    void reset();

signals:
    // The first key of a run starts it afresh.
    void runStartKey();
    void returnKey();

private:
    QString m_lastInput;
    int m_lastCommitLength = 0;
    int m_wordChars = 0;
    QString m_uncounted; // the first key or commit of the run
    bool m_firstEventSeen = false;
    // Key and input-method events seen on the typing pane, and that count at the last change.
    int m_events = 0;
    int m_eventsAtChange = 0;
};

#endif
