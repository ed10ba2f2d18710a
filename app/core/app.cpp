#include "app/core/app.h"

#include "deployment.h"

#include <QString>
#include <QtGlobal>

QString Deployment::value(const char* envName, const char* builtIn)
{
    return qEnvironmentVariableIsSet(envName) ? qEnvironmentVariable(envName) : QString::fromUtf8(builtIn);
}

QString Deployment::siteBase(const QString& address)
{
    QString base = address.trimmed();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

QString Deployment::link(const QString& address, const QString& text)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(address.toHtmlEscaped(), text.toHtmlEscaped());
}

namespace {

constexpr int kStandardDbPort = 3306;

int builtInDbPort()
{
    bool ok = false;
    const int port = QString::fromUtf8(TAVREL_DEFAULT_DB_PORT).toInt(&ok);
    return ok && port > 0 && port <= 65535 ? port : kStandardDbPort;
}

QString makeDownloadUrl()
{
    const QString base = Deployment::siteBase(Deployment::value("TAVREL_WEB_URL", TAVREL_DEFAULT_WEB_URL));
    return base.isEmpty() ? QString() : base + QStringLiteral("/index.php/Home/Index/download");
}

} // namespace

// ---- Fixed texts ----
const QString App::AppTitle = QStringLiteral("Tavrel跟打器v1.36 ");
const QString App::ReleaseDate = QStringLiteral("2016-12-26");
const QString App::DownloadUrl = makeDownloadUrl();

// ---- Deployment values: built-in until loadDeployment() reads the environment ----
QString App::DbHost = QString::fromUtf8(TAVREL_DEFAULT_DB_HOST);
int App::DbPort = builtInDbPort();
QString App::DbName = QString::fromUtf8(TAVREL_DEFAULT_DB_NAME);
QString App::DbUser = QString::fromUtf8(TAVREL_DEFAULT_DB_USER);
QString App::DbPassword = QString::fromUtf8(TAVREL_DEFAULT_DB_PASSWORD);
QString App::WebUrl = QString::fromUtf8(TAVREL_DEFAULT_WEB_URL);
QString App::ForumUrl = QString::fromUtf8(TAVREL_DEFAULT_FORUM_URL);
QString App::ChatGroup = QString::fromUtf8(TAVREL_DEFAULT_CHAT_GROUP);
bool App::DbOnline = false;
qint64 App::DbPacketLimit = 0;

// ---- Key counters ----
int App::KeyCount = 1;
int App::SelectCount = 0;
int App::EnterCount = 0;
int App::BackCount = 0;
int App::LeftKeys = 0;
int App::RightKeys = 0;
int App::CorrectCount = 0;
bool App::CountSelectKeys = true;

// ---- Typing record (native store) ----
int App::Jilu = 0;
int App::TempJilu = 0;
int App::Totaljs = 0;
double App::Totalti = 0.0;
int App::Totalco = 0;
QString App::Day;
QString App::Day2;
QString App::CurrentUserName;
QString App::CurrentUserPwd;
QString App::RecordUser;
bool App::RecordClearPending = false;
QString App::RecordClearUser;
QString App::TotalsClearUser;
QString App::RecordSyncUser;
QString App::OwedRecords;

int App::Zdzs = 0;

// ---- Run-time shared state ----
quintptr App::ChatHwnd = 0;
quintptr App::SelfHwnd = 0;
QString App::ChatTitle;
QStringList App::ChatTitles;
QString App::WrongChars;
QString App::SlowChars;
QString App::PublicIp;
bool App::CanUpload = false;
QString App::SignedInName;

void App::setTextSource(TextSource source)
{
    CanUpload = source != TextSource::Other;
}
QString App::LoginMenuText;
QString App::RegisterMenuText;
QString App::SendText;
QString App::SentText;
int App::SegNo = 0;
int App::SegSize = 0;
int App::SentCount = 0;
bool App::FwstateOpen = false;

void App::loadDeployment()
{
    DbHost = Deployment::value("TAVREL_DB_HOST", TAVREL_DEFAULT_DB_HOST);
    DbName = Deployment::value("TAVREL_DB_NAME", TAVREL_DEFAULT_DB_NAME);
    DbUser = Deployment::value("TAVREL_DB_USER", TAVREL_DEFAULT_DB_USER);
    DbPassword = Deployment::value("TAVREL_DB_PASSWORD", TAVREL_DEFAULT_DB_PASSWORD);
    WebUrl = Deployment::value("TAVREL_WEB_URL", TAVREL_DEFAULT_WEB_URL);
    ForumUrl = Deployment::value("TAVREL_FORUM_URL", TAVREL_DEFAULT_FORUM_URL);
    ChatGroup = Deployment::value("TAVREL_CHAT_GROUP", TAVREL_DEFAULT_CHAT_GROUP);

    DbPort = builtInDbPort();
    if (qEnvironmentVariableIsSet("TAVREL_DB_PORT")) {
        bool ok = false;
        const int port = qEnvironmentVariable("TAVREL_DB_PORT").trimmed().toInt(&ok);
        if (ok && port > 0 && port <= 65535)
            DbPort = port;
        else
            qWarning("TAVREL_DB_PORT 无效, 使用端口 %d", DbPort);
    }
}

// Q_INIT_RESOURCE declares the registration function at block scope, which names it in the
// enclosing namespace: this definition has to stay at global namespace scope.
void App::initResources()
{
    Q_INIT_RESOURCE(image);
}
