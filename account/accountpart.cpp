#include "account/accountpart.h"

#include "account/core/login.h"
#include "account/core/remoteinfo.h"
#include "account/frmlogin.h"
#include "app/core/app.h"
#include "app/core/myhelper.h"
#include "app/core/serveranswers.h"

#include <QDateTime>
#include <QDebug>
#include <QDesktopServices>
#include <QUrl>

#include <utility>

AccountPart::AccountPart(Host host, QObject* parent) : QObject(parent), m_host(std::move(host))
{
    connect(ServerAnswers::instance(), &ServerAnswers::answered, this, &AccountPart::sendOwedRecord,
            Qt::QueuedConnection);
}

bool AccountPart::signedIn() const
{
    return !App::SignedInName.isEmpty();
}

void AccountPart::setMenuTexts(bool signedIn)
{
    App::SignedInName = signedIn ? App::CurrentUserName : QString();
    // The greeting is an action's text: an "&" in the account name must show, not mark a shortcut.
    QString name = App::SignedInName;
    name.replace(QLatin1Char('&'), QLatin1String("&&"));
    App::LoginMenuText = signedIn ? QStringLiteral("欢迎您，") + name : QStringLiteral("登陆");
    App::RegisterMenuText = signedIn ? QStringLiteral("退出") : QStringLiteral("注册");
    if (m_host.refreshAccountActions)
        m_host.refreshAccountActions();
}

void AccountPart::show(const RankUpload::Notice& notice)
{
    if (notice.shown() && m_host.showTitleMessage)
        m_host.showTitleMessage(notice.text, notice.ms);
}

void AccountPart::openWebPage(const QString& path)
{
    const QString base = Deployment::siteBase(App::WebUrl);
    if (base.isEmpty()) {
        // Said in the title, as the forum's page says a missing forum address.
        show({QStringLiteral("未设置网站地址"), 1000});
        return;
    }
    QDesktopServices::openUrl(QUrl(base + path));
}

void AccountPart::checkRememberedLogin()
{
    if (!App::CurrentUserName.isEmpty() && !App::CurrentUserPwd.isEmpty() &&
        !AccountLogin::isDigest(App::CurrentUserPwd)) {
        App::CurrentUserPwd = AccountLogin::rememberedDigest(App::CurrentUserPwd);
        App::writeStats();
    }
    setMenuTexts(AccountLogin::checkRemembered(App::CurrentUserName, App::CurrentUserPwd, App::DbOnline) ==
                 AccountLogin::Remembered::SignedIn);
}

void AccountPart::loginSlot()
{
    if (signedIn())
        return;
    // The window frees itself once closed; the part only watches it.
    auto* window = new frmLogin;
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &frmLogin::loginSend, this, &AccountPart::loginRecv);
    m_loginWindow = window;
    window->show();
}

frmLogin* AccountPart::loginWindow() const
{
    return m_loginWindow;
}

void AccountPart::loginRecv(const QString& message)
{
    if (message != QStringLiteral("1"))
        return;
    setMenuTexts(true);
    if (m_host.readRecord)
        m_host.readRecord();
    show({QStringLiteral("登陆成功！"), 1000});
}

void AccountPart::regSlot()
{
    if (!signedIn()) {
        openWebPage(QStringLiteral("/index.php/Home/Cloud/index"));
        return;
    }
    App::CurrentUserName.clear();
    App::CurrentUserPwd.clear();
    App::writeStats();
    setMenuTexts(false);
    show({QStringLiteral("退出成功！"), 1000});
}

void AccountPart::rankSlot()
{
    openWebPage(QStringLiteral("/index.php/Home/Rank/result"));
}

void AccountPart::readRecord(TypingRecord& record)
{
    QString regTime;
    QString gdTime;
    bool writeBack = false;
    const QString user = App::SignedInName;
    const QDate today = record.today();
    RemoteRecord::SignIn signIn;
    if (App::DbOnline) {
        const RemoteRecord::Totals totals{App::TempJilu, App::Jilu, App::Totaljs, App::Totalti, App::Totalco};
        signIn = RemoteRecord::signIn({totals, TypingRecord::parseDay(App::Day2) == today, App::RecordUser,
                                       App::RecordClearPending, App::RecordClearUser, App::TotalsClearUser,
                                       App::RecordSyncUser, RemoteRecord::owedFromText(App::OwedRecords)},
                                      user, today);
        // Saved by the day check below.
        App::RecordClearUser = signIn.clearUser;
        App::TotalsClearUser = signIn.totalsClearUser;
        App::RecordSyncUser = signIn.syncUser;
        App::OwedRecords = RemoteRecord::owedText(signIn.owed);
    }
    if (signIn.row.found) {
        App::TempJilu = signIn.merged.totals.today;
        App::Jilu = signIn.merged.totals.total;
        App::Totaljs = signIn.merged.totals.keys;
        App::Totalti = signIn.merged.totals.seconds;
        App::Totalco = signIn.merged.totals.chars;
        App::RecordUser = user;
        App::RecordClearPending = signIn.writeBack;
        App::writeStats();
        regTime = signIn.row.regTime;
        gdTime = signIn.merged.gdTime;
        writeBack = signIn.writeBack;
        if (signIn.replaced)
            record.forgetAverages();
    }
    record.checkDay(regTime, gdTime);
    // The pinned bar cleared (owed, or empty run totals in a store that did not name its account):
    // its remote averages go as well.
    if (writeBack)
        syncClearedRecord(record, App::TotalsClearUser == user ||
                                      (App::Totaljs == 0 && App::Totalco == 0 && App::Totalti <= 0));
    else if (signIn.row.found && App::RecordSyncUser == user)
        jltoSql(record);
}

bool AccountPart::jltoSql(const TypingRecord& record)
{
    if (!signedIn() || !App::DbOnline || App::RecordUser != App::SignedInName)
        return false;
    RemoteRecord::Sync sync;
    sync.totals = {App::TempJilu, App::Jilu, App::Totaljs, App::Totalti, App::Totalco};
    sync.recordDays = record.recordDays();
    sync.averageKeyRate = record.averageKeyRateText();
    sync.averageCodeLength = record.averageCodeLengthText();
    sync.date = record.syncDateText();
    const bool written = RemoteRecord::write(sync, App::SignedInName);
    // The statement sets the row to the whole record, so the runs of a failed one go with the next
    // that succeeds, and one sent twice writes the same.
    const QString owedTo = written ? QString() : App::SignedInName;
    if (owedTo != App::RecordSyncUser) {
        App::RecordSyncUser = owedTo;
        App::writeStats();
    }
    return written;
}

void AccountPart::sendOwedRecord()
{
    if (signedIn() && App::RecordSyncUser == App::SignedInName && App::RecordUser == App::SignedInName &&
        m_host.syncRecord)
        m_host.syncRecord();
}

bool AccountPart::clearRemoteAverages()
{
    const bool ok = myHelper::exec(QStringLiteral("update kelm_user set u_avejj=0,u_avemc=0 where u_truename=?"),
                                   {App::SignedInName});
    if (!ok)
        qDebug() << "失败";
    return ok;
}

void AccountPart::syncClearedRecord(const TypingRecord& record, bool runTotals)
{
    // Offline, signed out or refused: the account's next sign-in writes the cleared record over its
    // row instead of taking the row's larger totals back. Either clearing stays owed to its account
    // even when another account signs in first; once the row has the record, nothing is owed.
    const bool pending = !(jltoSql(record) && (!runTotals || clearRemoteAverages()));
    QString clearUser = App::RecordClearUser;
    QString totalsClearUser = App::TotalsClearUser;
    if (pending) {
        (runTotals ? totalsClearUser : clearUser) = App::RecordUser;
    } else {
        if (clearUser == App::RecordUser)
            clearUser.clear();
        if (runTotals && totalsClearUser == App::RecordUser)
            totalsClearUser.clear();
    }
    if (pending != App::RecordClearPending || clearUser != App::RecordClearUser ||
        totalsClearUser != App::TotalsClearUser) {
        App::RecordClearPending = pending;
        App::RecordClearUser = clearUser;
        App::TotalsClearUser = totalsClearUser;
        App::writeStats();
    }
}

RankUpload::Context AccountPart::uploadContext() const
{
    RankUpload::Context context;
    context.online = App::DbOnline;
    context.signedIn = signedIn();
    context.takePart = App::Cypm;
    context.user = App::SignedInName;
    context.canUpload = App::CanUpload;
    context.now = QDateTime::currentSecsSinceEpoch();
    context.from = App::AppTitle;
    context.ip = App::PublicIp;
    return context;
}

void AccountPart::tryUpload(int manual)
{
    show(RankUpload::tryUpload(m_host.lastRun(), uploadContext(), manual == 1));
}

void AccountPart::uploadcjSlot()
{
    show(RankUpload::upload(m_host.lastRun(), uploadContext(), true));
}

RankUpload::Notice AccountPart::uploadAfterRun(bool manual)
{
    return RankUpload::upload(m_host.lastRun(), uploadContext(), manual);
}

QString AccountPart::latestVersionTitle() const
{
    return App::DbOnline ? AccountLogin::latestVersionTitle(RemoteInfo::latestVersion(), App::AppTitle) : App::AppTitle;
}
