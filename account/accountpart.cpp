#include "account/accountpart.h"

#include "account/core/login.h"
#include "account/frmlogin.h"
#include "app/core/app.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QUrl>

#include <utility>

AccountPart::AccountPart(Host host, QObject* parent) : QObject(parent), m_host(std::move(host)) {}

void AccountPart::setMenuTexts(bool signedIn)
{
    m_signedIn = signedIn;
    // The greeting is an action's text: an "&" in the account name must show, not mark a shortcut.
    QString name = App::CurrentUserName;
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
    QString base = App::WebUrl.trimmed();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    if (!base.isEmpty())
        QDesktopServices::openUrl(QUrl(base + path));
}

void AccountPart::checkRememberedLogin()
{
    if (!App::CurrentUserName.isEmpty() && !App::CurrentUserPwd.isEmpty() &&
        !AccountLogin::isDigest(App::CurrentUserPwd)) {
        App::CurrentUserPwd = AccountLogin::rememberedDigest(App::CurrentUserPwd);
        App::writeStats();
    }
    setMenuTexts(AccountLogin::checkRemembered(App::CurrentUserName, App::CurrentUserPwd) ==
                 AccountLogin::Remembered::SignedIn);
}

void AccountPart::loginSlot()
{
    if (App::LoginMenuText != QStringLiteral("登陆"))
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
    if (App::RegisterMenuText == QStringLiteral("注册")) {
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

AccountPart::DayCheck AccountPart::mergeRemoteRecord(const TypingRecord& record)
{
    if (!m_signedIn || !App::DbOnline)
        return {};
    const RemoteRecord::Row row = RemoteRecord::read(App::CurrentUserName);
    if (!row.found)
        return {};
    const QDate today = record.today();
    const RemoteRecord::Totals local{App::TempJilu, App::Jilu, App::Totaljs, App::Totalti, App::Totalco};
    const RemoteRecord::Merged merged =
        RemoteRecord::merge(local, TypingRecord::parseDay(App::Day2) == today, row, today);
    App::TempJilu = merged.totals.today;
    App::Jilu = merged.totals.total;
    App::Totaljs = merged.totals.keys;
    App::Totalti = merged.totals.seconds;
    App::Totalco = merged.totals.chars;
    App::writeStats();
    return {row.regTime, merged.gdTime};
}

void AccountPart::jltoSql(const TypingRecord& record)
{
    if (!m_signedIn || !App::DbOnline)
        return;
    RemoteRecord::Sync sync;
    sync.totals = {App::TempJilu, App::Jilu, App::Totaljs, App::Totalti, App::Totalco};
    sync.recordDays = record.recordDays();
    sync.averageKeyRate = record.averageKeyRateText();
    sync.averageCodeLength = record.averageCodeLengthText();
    sync.date = record.syncDateText();
    RemoteRecord::write(sync, App::CurrentUserName);
}

namespace {

RankUpload::Context uploadContext(bool signedIn)
{
    RankUpload::Context context;
    context.signedIn = signedIn;
    context.user = App::CurrentUserName;
    context.canUpload = App::CanUpload;
    context.now = QDateTime::currentSecsSinceEpoch();
    context.from = App::AppTitle;
    context.ip = App::PublicIp;
    return context;
}

} // namespace

void AccountPart::tryUpload(int manual)
{
    show(RankUpload::tryUpload(m_host.lastRun(), uploadContext(m_signedIn), manual == 1));
}

void AccountPart::uploadcjSlot()
{
    show(RankUpload::manualUpload(m_host.lastRun(), uploadContext(m_signedIn), App::Cypm));
}
