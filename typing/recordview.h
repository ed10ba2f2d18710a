#ifndef TAVREL_TYPING_RECORDVIEW_H
#define TAVREL_TYPING_RECORDVIEW_H

#include <QObject>

#include "typing/core/record.h"

class QPushButton;
class QTimer;
class RunStatusBar;

// The typing record as the window shows it: the record label in the status bar and the two
// average buttons over the table. It gathers the record's growth while typing into one save a
// second, which is flushed at the end of a run and on closing.
class RecordView : public QObject
{
    Q_OBJECT

public:
    RecordView(RecordStore store, RunStatusBar* status, QPushButton* keyRateButton, QPushButton* codeLengthButton,
               QObject* parent);

    TypingRecord& record() { return m_record; }
    // A change of the typing pane: the record grows, its save is gathered, the label redrawn.
    void typed(int paneLength, int commitLength);
    void flushSave();
    void refreshLabel();
    // A passage of `chars` characters is laid: the label makes room for the record it reaches.
    void makeRoomFor(int chars);
    // Recomputes the averages and shows them on the two buttons.
    void refreshTotals();
    // After clearing the counts: the label as cleared.
    void showClearedLabel();
    // After clearing the totals: the buttons' tool tips as cleared.
    void showClearedTotals();

private:
    TypingRecord m_record;
    RunStatusBar* m_status;
    QPushButton* m_keyRateButton;
    QPushButton* m_codeLengthButton;
    QTimer* m_saveTimer;
};

#endif
