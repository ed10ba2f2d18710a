#ifndef TAVREL_ACCOUNTPART_H
#define TAVREL_ACCOUNTPART_H

#include "account/core/rankupload.h"
#include "account/core/remoterecord.h"
#include "typing/core/record.h"

#include <QObject>
#include <QPointer>

#include <functional>

class frmLogin;

// The main window's account work: the account menu (log in, greeting, register, log out), the
// remembered login at start, the remote record read and write, the ranking upload and the version
// notice's title. The main window owns it and forwards its fixed slots to it.
//
// Signed in is App::SignedInName, set here only, and the menu follows it: a remembered login that
// could not be checked keeps its name in the store (every save writes the name back), but nothing is
// synced or uploaded under it. The local record is written only to the row of the account it belongs to
// (App::RecordUser), so one account's totals never reach another's row. A sync that failed is owed to
// that account (App::RecordSyncUser): the next statement that reaches the server while it is signed
// in sends the record, or else its next sign-in, which finds the record among the owed ones when
// another account signed in meanwhile.
class AccountPart : public QObject
{
    Q_OBJECT

public:
    // What the part needs of the main window.
    struct Host
    {
        std::function<void(const QString& message, int ms)> showTitleMessage;
        // The account actions take App::LoginMenuText and App::RegisterMenuText.
        std::function<void()> refreshAccountActions;
        // Reads the record again after a sign-in and redraws it (the window's getfromSql).
        std::function<void()> readRecord;
        // Writes the record to the signed-in account's row (the window's jltoSql).
        std::function<void()> syncRecord;
        // The last run as the upload judges it: its figures, cells, wrong count, title, end state.
        std::function<RankUpload::Run()> lastRun;
    };

    explicit AccountPart(Host host, QObject* parent = nullptr);

    bool signedIn() const;

    // Start: migrates a remembered plain password to its digest, then checks the remembered login
    // and sets the menu texts.
    void checkRememberedLogin();
    void loginSlot();
    void loginRecv(const QString& message);
    void regSlot();
    void rankSlot();

    // The record as the window opens and after each sign-in: the signed-in account's row merged
    // in, taking its place or overwritten by a pending clearing, then the day check.
    void readRecord(TypingRecord& record);

    // The record sync, with what the record derives (days, averages, today's date). False when
    // nothing reached the row; when the statement failed, the record is owed to the row.
    bool jltoSql(const TypingRecord& record);
    // After a clearing command (runTotals: the pinned result bar, whose remote averages go too):
    // the cleared record goes to the row now, or waits for its account's next sign-in.
    void syncClearedRecord(const TypingRecord& record, bool runTotals);

    void tryUpload(int manual);
    void uploadcjSlot();
    // The upload at the end of a run (manual: the result pop-up was accepted with its upload box
    // ticked); the caller shows the answer.
    RankUpload::Notice uploadAfterRun(bool manual);

    // The title of the newest released version for the update notice; the program's own offline.
    QString latestVersionTitle() const;

    // The last login window opened; null once it closed.
    frmLogin* loginWindow() const;

private:
    void setMenuTexts(bool signedIn);
    // The server answered again: the record owed to the signed-in account's row goes now.
    void sendOwedRecord();
    bool clearRemoteAverages();
    RankUpload::Context uploadContext() const;
    void show(const RankUpload::Notice& notice);
    void openWebPage(const QString& path);

    Host m_host;
    QPointer<frmLogin> m_loginWindow;
};

#endif
