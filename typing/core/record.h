#ifndef TAVREL_TYPING_RECORD_H
#define TAVREL_TYPING_RECORD_H

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// Where the typing record's values live and how they are saved. The window points these at the
// shared globals that the native store, the login window and the remote sync also read and write
// (coresettings.h), so there is one copy of each value and nothing here can go stale.
struct RecordStore
{
    int* todayChars = nullptr;    // characters typed today
    int* totalChars = nullptr;    // characters typed in all
    double* runSeconds = nullptr; // totals of the finished runs
    int* runKeys = nullptr;
    int* runChars = nullptr;
    QString* firstDay = nullptr;   // the first day of the record, in the toolkit's text date form
    QString* countedDay = nullptr; // the day today's count belongs to, same form
    std::function<void()> save;    // writes the values to the native store
};

// The typing record: characters typed today and in all, the days of the record, and the totals of
// finished runs with the averages made from them.
//
// Every change made here is saved at once through the store's save, except the growth while
// typing, which comes with every keystroke: its caller saves it (the window gathers those saves,
// see addTyped). This class keeps what the main window derives from the values (the days of the
// record, the two average texts) and the clock, which tests replace.
class TypingRecord
{
public:
    using Clock = std::function<QDateTime()>;

    // Without a clock the system's local time is used.
    explicit TypingRecord(RecordStore store, Clock clock = Clock());

    QDateTime now() const;
    QDate today() const;

    static QString dayText(const QDate& date);
    // Reads a stored day; also accepts the English text form and ISO dates, so a store written
    // under another language still reads. Invalid when it is none of these.
    static QDate parseDay(const QString& text);

    // ---- Changes (each saves the native store when it changes a value) ----

    // A change of the typing pane: today's and the total count grow by the length of the last key
    // or commit text while the pane holds text. Backspace, Escape or anything that shortened the
    // pane passes 0 or less, which never lowers the record. True when the record grew; the caller
    // then owes a save, which a window gathers so that a keystroke does not wait for the disk.
    bool addTyped(int paneLength, int commitLength);

    // The end of a run in follow or blind mode: seconds, keys and typed characters join the totals,
    // and the averages are recomputed.
    void addRun(double seconds, int keys, int chars);

    // The day check at start and after a log-in. regTime: the remote registration time in seconds
    // since 1970 as text; empty (offline, logged out, no such user), not a number, 0 or below is
    // unknown, and the days count from the local record's first day; gdTime: the remote
    // last-typing date "yyyy-MM-dd", empty when not read. Sets the days of the record (at least 1),
    // resets today's count when it belongs to another day, and recomputes the averages.
    void checkDay(const QString& regTime = QString(), const QString& gdTime = QString());

    // The one-second tick of the wall clock. Whenever the date differs from the date of the last
    // check or tick (midnight passed, a missed second, a suspended machine, or a clock set back),
    // today's count is reset and the counted day becomes today. True when that happened: the window then
    // redraws the record label and syncs the record.
    bool tick();

    // Clearing the typing record: today's and the total count become 0.
    void clearCounts();
    // Clearing the pinned result bar: the run totals become 0; the average texts keep their values
    // until the next refreshTotals().
    void clearTotals();

    // Recomputes the two average texts from the totals; a zero total keeps its text.
    void refreshTotals();
    // Another account's record took this one's place: the old totals' averages go with them.
    void forgetAverages();

    // ---- Derived values ----
    int recordDays() const { return m_recordDays; }
    // The total count / recordDays(), quotient truncated.
    int perDayAverage() const;
    // Keys per second and keys per character, two decimals; empty until first computed.
    QString averageKeyRateText() const { return m_averageKeyRateText; }
    QString averageCodeLengthText() const { return m_averageCodeLengthText; }
    // Today as the remote row stores its last-typing date.
    QString syncDateText() const;

    // ---- Texts for the window ----
    // As it reads now, or once `moreChars` more characters are typed.
    QString recordLabelText(int moreChars = 0) const;
    QString recordToolTip() const;
    QString averageKeyRateButtonText() const;
    QString averageCodeLengthButtonText() const;
    // The same tool tip on both average buttons.
    QString totalsToolTip() const;

    // The record label right after the record was cleared, until its next redraw.
    static QString clearedRecordLabelText();
    // The six result buttons after the pinned result bar was cleared, in button order.
    static QStringList clearedResultBarTexts();
    // The average buttons' tool tip after the pinned result bar was cleared: labels without values.
    static QString clearedTotalsToolTip();

    // The store's save.
    void save() const;

private:
    RecordStore m_store;
    Clock m_clock;
    // Before the first day check the record counts as one day, so no division can see 0.
    int m_recordDays = 1;
    QString m_averageKeyRateText;
    QString m_averageCodeLengthText;
    // The date seen by the last day check or tick.
    QDate m_lastDate;
};

#endif
