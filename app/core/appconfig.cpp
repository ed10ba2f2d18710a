// The configuration store: one global per key of CONFIG/settings.ini, the table of keys and defaults,
// and the reading and writing of the file.
#include "app/core/app.h"

#include "app/core/bounded.h"
#include "app/core/settingstext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSettings>
#include <QTextCodec>
#include <QVariant>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
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

namespace {

const QString kConfigPath = QStringLiteral("CONFIG/settings.ini");
const QString kConfigGroup = QStringLiteral("AppConfig");
const QString kDamagedCopyPath = kConfigPath + QStringLiteral(".bad");

using GlobalRef = std::variant<QString*, bool*, int*, double*>;

// A colour key's text must be one the panes can draw; any other text is a setting of its type.
enum class ValueKind { Plain, Colour };

struct ConfigEntry
{
    const char* key;
    GlobalRef global;
    QVariant defaultValue;
    ValueKind kind = ValueKind::Plain;
};

// Every setting, in the order the file is written and read. The defaults are the static initial
// values of the globals, what resetConfig() restores and what a missing or unreadable value reads as.
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
    {"Ztcd", &App::Ztcd, QStringLiteral("#000000"), ValueKind::Colour},
    {"Ztcg", &App::Ztcg, QStringLiteral("#000000"), ValueKind::Colour},
    {"Dbj", &App::Dbj, QStringLiteral("#f4f7fc"), ValueKind::Colour},
    {"Gbj", &App::Gbj, QStringLiteral("#f4f7fc"), ValueKind::Colour},
    {"Tbj", &App::Tbj, QStringLiteral("#f4f7fc"), ValueKind::Colour},
    {"Rc", &App::Rc, QStringLiteral("#707070"), ValueKind::Colour},
    {"Wc", &App::Wc, QStringLiteral("#FF3030"), ValueKind::Colour},
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

// The value conversions of the toolkit decide: "abc" is 0 as a number and true as a boolean; a
// number beyond an int clamps instead of wrapping.
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

// The forms of a colour that the panes' colour and their style sheets both read: "#" and 3, 6, 8,
// 9 or 12 hexadecimal digits. The colour commands write "#rrggbb".
bool isColourText(const QString& text)
{
    const int digits = text.size() - 1;
    if (!text.startsWith(QLatin1Char('#')) ||
        !(digits == 3 || digits == 6 || digits == 8 || digits == 9 || digits == 12))
        return false;
    return std::all_of(text.begin() + 1, text.end(),
                       [](QChar c) { return c.unicode() < 0x80 && std::isxdigit(c.unicode()); });
}

// Sets the global from a value read from the file. False, and the global untouched, when the value
// does not fit the key: no whole number for an int (a fraction neither), no finite number for a
// double, no colour for a colour. A number beyond an int clamps.
bool assignStored(const ConfigEntry& entry, const QVariant& value)
{
    const QString text = value.toString();
    if (auto p = std::get_if<int*>(&entry.global)) {
        qint64 number = 0;
        if (!Bounded::parse(text, INT_MIN, INT_MAX, &number))
            return false;
        **p = int(number);
        return true;
    }
    if (auto p = std::get_if<double*>(&entry.global)) {
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            return false;
        **p = number;
        return true;
    }
    if (entry.kind == ValueKind::Colour && !isColourText(text))
        return false;
    assign(entry.global, value);
    return true;
}

// Written aside and renamed over the old file, so a failed write leaves the old one whole.
bool saveBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr)
{
    QSaveFile file(path);
    const bool saved =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit();
    if (!saved && error)
        *error = file.errorString();
    return saved;
}

// Set while a damaged file could not be kept aside: the file is then the only copy of what the user
// had, and no write may replace it before a start that reads it whole or keeps it.
bool g_damagedUncopied = false;

// The file as the user had it, before the next write puts defaults where it was lacking. When no copy
// can be made, writes stop instead.
void keepDamagedCopy(const QByteArray& bytes, int defaultsPutBack)
{
    QString why;
    if (!App::isRegularOrMissing(kDamagedCopyPath))
        why = QStringLiteral("不是普通文件");
    if (why.isEmpty() && !saveBytes(kDamagedCopyPath, bytes, &why) && why.isEmpty())
        why = QStringLiteral("写入失败");
    if (!why.isEmpty()) {
        g_damagedUncopied = true;
        qWarning("配置文件有误, 备份失败: %s (%s), 本次运行不再写入 %s", qUtf8Printable(kDamagedCopyPath),
                 qUtf8Printable(why), qUtf8Printable(kConfigPath));
        return;
    }
    qWarning("配置文件不完整或有误 (%d 项用默认值), 原文件已存为 %s", defaultsPutBack,
             qUtf8Printable(kDamagedCopyPath));
}

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

// The toolkit parses the old file again as it rewrites it, for the keys the table does not know: in
// the file's own encoding, so that those keep their characters. What it writes stays in its escapes,
// whatever the old file's encoding, so that any version reads it back.
void parseOldFileInItsEncoding(QSettings& settings)
{
    QFile file(kConfigPath);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!isAscii(bytes)) {
        QTextCodec::ConverterState state;
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
        const bool utf8 = state.invalidChars == 0 && state.remainingChars == 0;
        settings.setIniCodec(utf8 ? "UTF-8" : "GB18030");
        settings.allKeys();
    }
    settings.setIniCodec(static_cast<QTextCodec*>(nullptr));
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
    return saveBytes(path, out.join('\n'));
}

// The defaults are applied right after the table exists, during static initialisation of this file.
[[maybe_unused]] const bool kDefaultsApplied = (App::resetConfig(), true);

} // namespace

void App::readConfig()
{
    g_damagedUncopied = false;
    if (!QFile::exists(kConfigPath))
        return;
    QFile file(kConfigPath);
    if (!isRegularOrMissing(kConfigPath)) {
        qWarning("读取配置失败: %s (不是普通文件)", qUtf8Printable(kConfigPath));
        return;
    }
    // A file that cannot be read at all would turn every setting into zero: keep what we have.
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("读取配置失败: %s", qUtf8Printable(kConfigPath));
        return;
    }
    const QByteArray bytes = file.readAll();
    // Written by the trainer the file is ASCII; by hand it is UTF-8 (with or without a mark) or, made
    // on Windows, GB18030. The common text reader tells which.
    QString text = decodeText(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const SettingsText::Values read = SettingsText::parse(text);
    const bool formatError = read.malformedLines > 0;
    if (formatError)
        qWarning("配置文件格式有误: %s (%d 行)", qUtf8Printable(kConfigPath), read.malformedLines);
    // An older file lacks the newer keys, a hand edit or a cut-off file may garble any: those keep
    // their defaults, where empty texts and zeros would leave the trainer without hot keys, help
    // text or colours, and the next write would store the blanks for good.
    int defaultsPutBack = 0;
    for (const ConfigEntry& entry : kConfigTable) {
        const auto it = read.values.constFind(kConfigGroup + QLatin1Char('/') + QLatin1String(entry.key));
        if (it == read.values.constEnd() || !assignStored(entry, it.value())) {
            assign(entry.global, entry.defaultValue);
            ++defaultsPutBack;
        }
    }
    if (defaultsPutBack > 0 || formatError)
        keepDamagedCopy(bytes, defaultsPutBack);
}

void App::writeConfig()
{
    if (g_damagedUncopied)
        return;
    if (!isRegularOrMissing(kConfigPath)) {
        qWarning("写入配置失败: %s (不是普通文件)", qUtf8Printable(kConfigPath));
        return;
    }
    QDir().mkpath(QFileInfo(kConfigPath).path());
    QSettings settings(kConfigPath, QSettings::IniFormat);
    parseOldFileInItsEncoding(settings);
    settings.beginGroup(kConfigGroup);
    for (const ConfigEntry& entry : kConfigTable)
        settings.setValue(QLatin1String(entry.key), valueOf(entry.global));
    settings.endGroup();
    // Callers may exit or copy the file right after; it has to be on disk now.
    settings.sync();
    // A format error is the old file's, read before the write; the toolkit keeps reporting it and
    // would hide a later access error, so the reordering below tells whether the file is whole.
    if (settings.status() == QSettings::AccessError) {
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
