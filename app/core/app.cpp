#include "app/core/app.h"

#include "app/core/bounded.h"

#include "deployment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSettings>
#include <QVariant>
#include <QtGlobal>

#include <iterator>
#include <variant>

// ---- Settings globals: zero here, their defaults come from the table below ----
QString App::ShuRuFa;
bool App::ShuRuFa2;
QString App::QianMing;
bool App::QianMing2;
QString App::BianMa;
bool App::BianMa2;
bool App::Zdcm;
int App::KongGe;
bool App::CuoZiSj;
int App::Limitmz;
bool App::ManZiSj;
int App::Fanye;
int App::Yulanq;
int App::Yulanh;
bool App::Sudu;
bool App::Jijian;
bool App::Machang;
bool App::Zishu;
bool App::Shijian;
bool App::Huigai;
bool App::Tuige;
bool App::Huiche;
bool App::Jianshu;
bool App::Xuanchong;
bool App::Jianzhun;
bool App::Jianfa;
bool App::Chongda;
bool App::Daci;
bool App::Cuozi;
QString App::Kjsz;
QString App::Kjfw;
QString App::Kjcd;
QString App::Kjlx;
QString App::Kjzt;
QString App::Kjzj;
QString App::Kjfx;
QString App::Kjtz;
QString App::Kjzd;
QString App::Kjsd;
QString App::Kjhq;
QString App::Kjcj;
QString App::Kjlb;
QString App::Kjjy;
QString App::Kjcf;
QString App::Kjsh;
bool App::Gdyw;
bool App::Gdsz;
bool App::Gdqs;
bool App::Gdcz;
int App::Gdcdlim;
bool App::Gdcd;
int App::Gdsdlim;
bool App::Gdsd;
int App::Gdyslim;
bool App::ShiShi;
bool App::Quchu;
bool App::Tihuan;
bool App::Showcj;
bool App::BianSe;
bool App::TanChuang;
bool App::GbtanChuang;
bool App::Limit;
int App::Limitsudu;
bool App::Cypm;
bool App::Uploadcj;
bool App::Opensrf;
bool App::Zchongfu;
bool App::Tishi;
bool App::Onlye;
bool App::Dingzi;
bool App::Fyxc;
QString App::Zdmc;
QString App::Dpmc;
QString App::Qpmc;
QString App::Hcaction;
QString App::Kgaction;
QString App::Position;
QString App::Hxnum;
QString App::Mabiao;
QString App::Style;
QString App::Font1;
int App::GetWay;
int App::Pattern;
int App::X;
int App::Y;
int App::Width;
int App::Height;
QString App::Ztcd;
QString App::Ztcg;
QString App::Dbj;
QString App::Gbj;
QString App::Tbj;
QString App::Rc;
QString App::Wc;
QString App::Zdname;
bool App::Zdhd;
QString App::Zdhd2;
double App::Zdhd3;
double App::Zdhd4;
QString App::Zdhd5;
QString App::Bb;
bool App::Dl;
QString App::Fw;
int App::Fwtime;
QString App::Gdjs;

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

namespace {

const QString kConfigPath = QStringLiteral("CONFIG/settings.ini");
const QString kConfigGroup = QStringLiteral("AppConfig");

using GlobalRef = std::variant<QString*, bool*, int*, double*>;

struct ConfigEntry
{
    const char* key;
    GlobalRef global;
    QVariant defaultValue;
};

// Every setting, in the order the file is written and read. The defaults are the static initial
// values of the globals as well as what resetConfig() restores.
const ConfigEntry kConfigTable[] = {
    {"ShuRuFa", &App::ShuRuFa, QString()},
    {"ShuRuFa2", &App::ShuRuFa2, false},
    {"QianMing", &App::QianMing, QString()},
    {"QianMing2", &App::QianMing2, false},
    {"BianMa", &App::BianMa, QStringLiteral("86.txt")},
    {"BianMa2", &App::BianMa2, false},
    {"Zdcm", &App::Zdcm, false},
    {"KongGe", &App::KongGe, 0},
    {"CuoZiSj", &App::CuoZiSj, false},
    {"Limitmz", &App::Limitmz, 60},
    {"ManZiSj", &App::ManZiSj, false},
    {"Fanye", &App::Fanye, 500},
    {"Yulanq", &App::Yulanq, 10},
    {"Yulanh", &App::Yulanh, 10},
    {"Sudu", &App::Sudu, true},
    {"Jijian", &App::Jijian, true},
    {"Machang", &App::Machang, true},
    {"Zishu", &App::Zishu, true},
    {"Shijian", &App::Shijian, true},
    {"Huigai", &App::Huigai, true},
    {"Tuige", &App::Tuige, true},
    {"Huiche", &App::Huiche, true},
    {"Jianshu", &App::Jianshu, true},
    {"Xuanchong", &App::Xuanchong, true},
    {"Jianzhun", &App::Jianzhun, true},
    {"Jianfa", &App::Jianfa, true},
    {"Chongda", &App::Chongda, true},
    {"Daci", &App::Daci, true},
    {"Cuozi", &App::Cuozi, true},
    {"Kjsz", &App::Kjsz, QStringLiteral("F1")},
    {"Kjfw", &App::Kjfw, QStringLiteral("F2")},
    {"Kjcd", &App::Kjcd, QStringLiteral("F3")},
    {"Kjlx", &App::Kjlx, QStringLiteral("CTRL+L")},
    {"Kjzt", &App::Kjzt, QStringLiteral("Return")},
    {"Kjzj", &App::Kjzj, QStringLiteral("F8")},
    {"Kjfx", &App::Kjfx, QStringLiteral("CTRL+P")},
    {"Kjtz", &App::Kjtz, QStringLiteral("CTRL+T")},
    {"Kjzd", &App::Kjzd, QStringLiteral("F4")},
    {"Kjsd", &App::Kjsd, QStringLiteral("CTRL+F4")},
    {"Kjhq", &App::Kjhq, QStringLiteral("F5")},
    {"Kjcj", &App::Kjcj, QStringLiteral("F9")},
    {"Kjlb", &App::Kjlb, QStringLiteral("ALT+Q")},
    {"Kjjy", &App::Kjjy, QStringLiteral("ALT+D")},
    {"Kjcf", &App::Kjcf, QStringLiteral("CTRL+F")},
    {"Kjsh", &App::Kjsh, QStringLiteral("F7")},
    {"Gdyw", &App::Gdyw, true},
    {"Gdsz", &App::Gdsz, true},
    {"Gdqs", &App::Gdqs, false},
    {"Gdcz", &App::Gdcz, true},
    {"Gdcdlim", &App::Gdcdlim, 12},
    {"Gdcd", &App::Gdcd, true},
    {"Gdsdlim", &App::Gdsdlim, 200},
    {"Gdsd", &App::Gdsd, false},
    {"Gdyslim", &App::Gdyslim, 350},
    {"ShiShi", &App::ShiShi, true},
    {"Quchu", &App::Quchu, true},
    {"Tihuan", &App::Tihuan, true},
    {"Showcj", &App::Showcj, true},
    {"BianSe", &App::BianSe, true},
    {"TanChuang", &App::TanChuang, false},
    {"GbtanChuang", &App::GbtanChuang, true},
    {"Limit", &App::Limit, false},
    {"Limitsudu", &App::Limitsudu, 200},
    {"Cypm", &App::Cypm, true},
    {"Uploadcj", &App::Uploadcj, true},
    {"Opensrf", &App::Opensrf, false},
    {"Zchongfu", &App::Zchongfu, true},
    {"Tishi", &App::Tishi, false},
    {"Onlye", &App::Onlye, false},
    {"Dingzi", &App::Dingzi, true},
    {"Fyxc", &App::Fyxc, true},
    {"Zdmc", &App::Zdmc, QStringLiteral("4")},
    {"Dpmc", &App::Dpmc, QStringLiteral("4")},
    {"Qpmc", &App::Qpmc, QStringLiteral("4")},
    {"Hcaction", &App::Hcaction, QStringLiteral("上屏英文")},
    {"Kgaction", &App::Kgaction, QStringLiteral("清屏")},
    {"Position", &App::Position, QStringLiteral("跟随光标")},
    {"Hxnum", &App::Hxnum, QStringLiteral("10")},
    {"Mabiao", &App::Mabiao, QStringLiteral("五笔")},
    {"Style", &App::Style, QStringLiteral("silvery")},
    {"Font1", &App::Font1, QString()},
    {"GetWay", &App::GetWay, 0},
    {"Pattern", &App::Pattern, 0},
    {"X", &App::X, 0},
    {"Y", &App::Y, 0},
    {"Width", &App::Width, 650},
    {"Height", &App::Height, 475},
    {"Ztcd", &App::Ztcd, QStringLiteral("#000000")},
    {"Ztcg", &App::Ztcg, QStringLiteral("#000000")},
    {"Dbj", &App::Dbj, QStringLiteral("#f4f7fc")},
    {"Gbj", &App::Gbj, QStringLiteral("#f4f7fc")},
    {"Tbj", &App::Tbj, QStringLiteral("#f4f7fc")},
    {"Rc", &App::Rc, QStringLiteral("#707070")},
    {"Wc", &App::Wc, QStringLiteral("#FF3030")},
    {"Zdname", &App::Zdname, QString()},
    {"Zdhd", &App::Zdhd, false},
    {"Zdhd2", &App::Zdhd2, QStringLiteral("击键")},
    {"Zdhd3", &App::Zdhd3, 10.0},
    {"Zdhd4", &App::Zdhd4, 200.0},
    {"Zdhd5", &App::Zdhd5, QStringLiteral("乱序")},
    {"Bb", &App::Bb, QStringLiteral("86")},
    {"Dl", &App::Dl, true},
    {"Fw", &App::Fw, QStringLiteral("跟打结束自动发文")},
    {"Fwtime", &App::Fwtime, 30},
    {"Gdjs", &App::Gdjs, QStringLiteral("激活跟打器")},
};

constexpr int kConfigCount = int(std::size(kConfigTable));

// The value conversions of the toolkit decide: a missing key gives the empty text, false or zero,
// "abc" is 0 as a number and true as a boolean; a number beyond an int clamps instead of wrapping.
void assign(const GlobalRef& global, const QVariant& value)
{
    if (auto p = std::get_if<QString*>(&global))
        **p = value.toString();
    else if (auto p = std::get_if<bool*>(&global))
        **p = value.toBool();
    else if (auto p = std::get_if<int*>(&global))
        **p = Bounded::toInt(value);
    else if (auto p = std::get_if<double*>(&global))
        **p = value.toDouble();
}

QVariant valueOf(const GlobalRef& global)
{
    return std::visit([](auto* p) { return QVariant(*p); }, global);
}

// The default with the global's own type, whatever literal the table row used.
QVariant typedDefault(const ConfigEntry& entry)
{
    return std::visit(
        [&entry](auto* p) {
            using T = std::remove_pointer_t<decltype(p)>;
            return QVariant::fromValue(entry.defaultValue.value<T>());
        },
        entry.global);
}

bool validIndex(int index)
{
    return index >= 0 && index < kConfigCount;
}

// The toolkit sorts the keys of an INI group by name on this platform; the file is meant to list
// them in table order. Whole lines are moved, so the toolkit's escaping stays untouched; keys that
// the table does not know follow in the order they had.
bool putKeysInTableOrder(const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QList<QByteArray> lines = in.readAll().split('\n');
    in.close();

    const QByteArray header = '[' + kConfigGroup.toLatin1() + ']';
    int begin = 0;
    while (begin < lines.size() && lines.at(begin).trimmed() != header)
        ++begin;
    if (begin == lines.size())
        return false;
    ++begin;
    int end = begin;
    while (end < lines.size() && !lines.at(end).startsWith('['))
        ++end;

    QHash<QByteArray, QByteArray> known;
    QList<QByteArray> unknown;
    QList<QByteArray> rest;
    for (int i = begin; i < end; ++i) {
        const QByteArray& line = lines.at(i);
        const int eq = line.indexOf('=');
        if (eq <= 0) {
            rest << line;
            continue;
        }
        const QByteArray key = line.left(eq).trimmed();
        bool inTable = false;
        for (const ConfigEntry& entry : kConfigTable)
            inTable = inTable || key == entry.key;
        if (inTable && !known.contains(key))
            known.insert(key, line);
        else
            unknown << line;
    }
    QList<QByteArray> body;
    for (const ConfigEntry& entry : kConfigTable) {
        const auto it = known.constFind(QByteArray(entry.key));
        if (it != known.constEnd())
            body << it.value();
    }
    body << unknown << rest;
    if (body == lines.mid(begin, end - begin))
        return true;

    QList<QByteArray> out = lines.mid(0, begin);
    out << body << lines.mid(end);
    QSaveFile file(path);
    const QByteArray bytes = out.join('\n');
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit();
}

// The defaults are applied right after the table exists, during static initialisation of this file.
[[maybe_unused]] const bool kDefaultsApplied = (App::resetConfig(), true);

} // namespace

void App::readConfig()
{
    if (!QFile::exists(kConfigPath))
        return;
    if (!isRegularOrMissing(kConfigPath)) {
        qWarning("读取配置失败: %s (不是普通文件)", qUtf8Printable(kConfigPath));
        return;
    }
    QSettings settings(kConfigPath, QSettings::IniFormat);
    // A file that cannot be read at all would turn every setting into zero: keep what we have.
    if (settings.status() == QSettings::AccessError) {
        qWarning("读取配置失败: %s", qUtf8Printable(kConfigPath));
        return;
    }
    if (settings.status() == QSettings::FormatError)
        qWarning("配置文件格式有误: %s", qUtf8Printable(kConfigPath));
    settings.beginGroup(kConfigGroup);
    for (const ConfigEntry& entry : kConfigTable)
        assign(entry.global, settings.value(QLatin1String(entry.key)));
    settings.endGroup();
}

void App::writeConfig()
{
    if (!isRegularOrMissing(kConfigPath)) {
        qWarning("写入配置失败: %s (不是普通文件)", qUtf8Printable(kConfigPath));
        return;
    }
    QDir().mkpath(QFileInfo(kConfigPath).path());
    QSettings settings(kConfigPath, QSettings::IniFormat);
    settings.beginGroup(kConfigGroup);
    for (const ConfigEntry& entry : kConfigTable)
        settings.setValue(QLatin1String(entry.key), valueOf(entry.global));
    settings.endGroup();
    // Callers may exit or copy the file right after; it has to be on disk now.
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qWarning("写入配置失败: %s (status %d)", qUtf8Printable(kConfigPath), int(settings.status()));
        return;
    }
    if (!putKeysInTableOrder(kConfigPath))
        qWarning("写入配置失败: %s (键的顺序)", qUtf8Printable(kConfigPath));
}

void App::resetConfig()
{
    for (const ConfigEntry& entry : kConfigTable)
        assign(entry.global, entry.defaultValue);
}

int App::configKeyCount()
{
    return kConfigCount;
}

QString App::configKey(int index)
{
    return validIndex(index) ? QString::fromLatin1(kConfigTable[index].key) : QString();
}

QVariant App::configValue(int index)
{
    return validIndex(index) ? valueOf(kConfigTable[index].global) : QVariant();
}

QVariant App::configDefault(int index)
{
    return validIndex(index) ? typedDefault(kConfigTable[index]) : QVariant();
}

void App::setConfigValue(int index, const QVariant& value)
{
    if (validIndex(index))
        assign(kConfigTable[index].global, value);
}

int App::configIndex(const QString& key)
{
    for (int i = 0; i < kConfigCount; ++i) {
        if (key == QLatin1String(kConfigTable[i].key))
            return i;
    }
    return -1;
}

void App::resetConfigKeys(const QStringList& keys)
{
    for (const QString& key : keys) {
        const int index = configIndex(key);
        if (validIndex(index))
            assign(kConfigTable[index].global, typedDefault(kConfigTable[index]));
    }
}

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
