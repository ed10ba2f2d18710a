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
    // Characters of the run's first key or commit that the figures leave out: what of it stayed in
    // the pane after the change that brought it.
    int uncountedLength() const { return m_uncountedLength; }
    // The change just made was cut back to the page by `cut` characters before the cursor: a first
    // commit it brought keeps only what stayed.
    void changeFitted(int cut);
    // A new run: nothing typed yet.
    void reset();

signals:
    // The first key of a run starts it afresh.
    void runStartKey();
    void returnKey();

private:
    void takeUncounted();

    QString m_lastInput;
    int m_lastCommitLength = 0;
    int m_wordChars = 0;
    int m_uncountedLength = 0;     // the first key or commit of the run
    bool m_uncountedFitted = true; // its change was fitted to the page
    bool m_firstEventSeen = false;
    // Key and input-method events seen on the typing pane, and that count at the last change.
    int m_events = 0;
    int m_eventsAtChange = 0;
};

#endif
