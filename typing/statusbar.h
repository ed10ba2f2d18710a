#ifndef TAVREL_TYPING_STATUSBAR_H
#define TAVREL_TYPING_STATUSBAR_H

#include <QObject>
#include <QString>

class GivingLabel;
class QProgressBar;
class QStatusBar;
class QWidget;
class SteadyLabel;
struct ProgressInfo;

// The bar under the result table: the run's progress bar, then the status labels for the chat
// group, the segment, the title, the count, the progress, the code hint and the typing record.
// Each widget carries an object name of its own, as the form's widgets do.
class RunStatusBar : public QObject
{
    Q_OBJECT

public:
    explicit RunStatusBar(QWidget* parent);

    QProgressBar* progressBar() const { return m_progress; }
    QStatusBar* statusBar() const { return m_bar; }

    // The labels as a passage is laid: chat group, segment and title; the code hint's caption, and
    // whether hints show (the settings may have changed it).
    void showPassage(const QString& chatText, const QString& segmentHeader, const QString& title, bool hintsOn);
    // A new passage: the code hint's room starts again from the hints it shows.
    void forgetCodeHints();
    void showProgress(const ProgressInfo& info);
    // Free mode counts only, without a title.
    void showFreeCount(int count);
    void setProgressVisible(bool visible);
    void setChatToolTip(const QString& tip);
    void setSegmentToolTip(const QString& tip);
    // hintsOn: hints show while typing; the cell keeps room for the widest shown since the passage
    // was laid, and none while they are off.
    void setCodeHint(const QString& text, bool hintsOn);
    void setRecord(const QString& text, const QString& toolTip);
    void setRecordText(const QString& text);
    // The record's cell keeps room for `text`, so it holds still while the run adds to it.
    void setRecordRoom(const QString& text);

private:
    void setHintsOn(bool on);

    QProgressBar* m_progress;
    QStatusBar* m_bar;
    GivingLabel* m_chat;
    GivingLabel* m_segment;
    GivingLabel* m_title;
    SteadyLabel* m_count;
    SteadyLabel* m_progressText;
    SteadyLabel* m_codeHint;
    SteadyLabel* m_record;
    bool m_hintsOn = false;
};

#endif
