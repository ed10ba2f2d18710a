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
// Signed in is a flag of its own: a remembered login that could not be checked keeps its name in
// the store (every save writes the name back), but nothing is synced or uploaded under it.
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
        // Reads the remote record and runs the day check (the window's getfromSql).
        std::function<void()> readRecord;
        // The last run as the upload judges it: its figures, cells, wrong count, title, end state.
        std::function<RankUpload::Run()> lastRun;
    };

    explicit AccountPart(Host host, QObject* parent = nullptr);

    bool signedIn() const { return m_signedIn; }

    // Start: migrates a remembered plain password to its digest, then checks the remembered login
    // and sets the menu texts.
    void checkRememberedLogin();
    void loginSlot();
    void loginRecv(const QString& message);
    void regSlot();
    void rankSlot();

    // The remote half of the record read: merges the user's row into the local record (App
    // globals, saved at once) and answers the registration time and the date for the day check.
    struct DayCheck
    {
        QString regTime;
        QString gdTime;
    };
    DayCheck mergeRemoteRecord(const TypingRecord& record);

    // The record sync, with what the record derives (days, averages, today's date).
    void jltoSql(const TypingRecord& record);

    void tryUpload(int manual);
    void uploadcjSlot();

    // The last login window opened; null once it closed.
    frmLogin* loginWindow() const;

private:
    void setMenuTexts(bool signedIn);
    void show(const RankUpload::Notice& notice);
    void openWebPage(const QString& path);

    Host m_host;
    bool m_signedIn = false;
    QPointer<frmLogin> m_loginWindow;
};

#endif
