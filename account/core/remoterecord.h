#ifndef TAVREL_ACCOUNT_REMOTERECORD_H
#define TAVREL_ACCOUNT_REMOTERECORD_H

#include <QDate>
#include <QList>
#include <QString>
#include <QVariantList>

// The remote half of the typing record: the user's row of the remote user table, read at start and
// at sign-in and merged into the local record, and written back after every change. Plain values in
// and out; the caller owns the local record.
namespace RemoteRecord {

struct Totals
{
    int today = 0; // characters typed today
    int total = 0; // characters typed in all
    int keys = 0;
    double seconds = 0.0;
    int chars = 0;
};

struct Row
{
    bool found = false;
    Totals totals;
    QString gdTime;  // the last sync's date "yyyy-MM-dd"; empty when not read
    QString regTime; // seconds since 1970 as text; empty when unknown
};

// The user's row; not found offline, without a name, on error or without a row. Values read from
// the server are clamped to what the local record can hold (no negatives, no overflow).
Row read(const QString& name);

struct Merged
{
    Totals totals;
    // The date to hand to the day check: today when the merged day's count belongs to today,
    // otherwise the row's own date (so the day check starts a new day's count).
    QString gdTime;
};

// Totals only grow: each is the larger of the local and the remote value, since a sync that failed
// in an earlier session leaves the server behind. The day's count follows the same rule for the
// same day; a count of another day counts as 0. localCountsToday: the local day count is today's.
Merged merge(const Totals& local, bool localCountsToday, const Row& remote, const QDate& today);

// A record still owed to its account's row: that account's local record, with runs whose sync had
// failed, when another account's sign-in took its place.
struct Owed
{
    QString user;
    Totals totals;
    QString day; // the day totals.today counts, "yyyy-MM-dd"; empty when it counts no day
};

// The owed records as the native store keeps them (a JSON array; the empty text when none) and
// back. What is not an entry (a hand-edited or foreign text) is skipped; numbers are clamped as the
// row's are.
QList<Owed> owedFromText(const QString& text);
QString owedText(const QList<Owed>& owed);

// The local side of a sign-in.
struct Local
{
    Totals totals;
    bool countsToday = false;  // the day's count is today's
    QString recordUser;        // the record's account (empty: runs typed before any sign-in here)
    bool clearPending = false; // the record was cleared and is still to go over recordUser's row
    QString clearUser;         // the account whose row still owes a clearing of the typing record
    QString totalsClearUser;   // the account whose row still owes a clearing of the pinned bar
    QString syncUser;          // the account whose row lacks runs of this record (their sync failed)
    QList<Owed> owed;          // records other sign-ins took the place of, still owed to their rows
};

// What a sign-in of `user` makes of the local record and that account's row, which it reads.
//  - The account owes its row a clearing of the typing record and the local record is not its
//    cleared one (another account signed in since): the row's day's and total count become 0
//    before the row is read. A clearing of the pinned bar owed likewise makes the row's run totals
//    and averages 0.
//  - Its own account, or nobody's record: merged by the larger values, as above.
//  - Its own account with a clearing still pending: the local record stays as it is and is to be
//    written over the row (writeBack), so the clearing is not undone by the row's old totals.
//  - Another account: that account's row replaces the local record; the clearings the other account
//    owes stay owed, never applied to this row, and so do its runs: a record whose sync failed is
//    kept among the owed records for its account's next sign-in.
//  - An account with an owed record: the record is merged in like its own local record (the larger
//    values) and stays owed (syncUser) until the caller has written it to the row.
struct SignIn
{
    Row row; // not found: the local record stays as it was
    Merged merged;
    bool writeBack = false;
    bool replaced = false;
    QString clearUser;       // whose row still owes the typing record's clearing afterwards
    QString totalsClearUser; // whose row still owes the pinned bar's clearing afterwards
    QString syncUser;        // whose row the local record is still owed to afterwards
    QList<Owed> owed;        // the records still owed afterwards
};
SignIn signIn(const Local& local, const QString& user, const QDate& today);

struct Sync
{
    Totals totals;
    int recordDays = 1;
    QString averageKeyRate;    // empty until the first finished run
    QString averageCodeLength; // likewise
    QString date;              // today, "yyyy-MM-dd"
};

// The bound values of the record update, in statement order (the name last): numbers as numbers,
// an empty average as 0.00, the days of the record at least 1.
QVariantList updateValues(const Sync& sync, const QString& name);

// Writes the record to the user's row; false (with "失败" in the debug log) when the statement failed.
bool write(const Sync& sync, const QString& name);

} // namespace RemoteRecord

#endif
