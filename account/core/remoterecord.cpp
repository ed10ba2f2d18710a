#include "account/core/remoterecord.h"

#include "app/core/bounded.h"
#include "app/core/myhelper.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QVariant>
#include <QtDebug>

#include <algorithm>
#include <cmath>

namespace {

// A hundred years of typing is more than any record holds; anything beyond is garbage.
constexpr double kMaxSeconds = 3.2e9;

QString averageOrZero(const QString& text)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok && std::isfinite(number) ? text : QStringLiteral("0.00");
}

} // namespace

namespace RemoteRecord {

Row read(const QString& name)
{
    Row row;
    if (name.isEmpty())
        return row;
    QSqlQuery query;
    if (!myHelper::run(query,
                       QStringLiteral("select u_jilu,u_totaljilu,u_totaljs,u_totalsj,u_totalzs,u_gdtime "
                                      "from kelm_user where u_truename=?"),
                       {name}))
        return row;
    while (query.next()) {
        row.found = true;
        // Values from the server are clamped before they enter the local record.
        row.totals.today = Bounded::toInt(query.value(0), 0);
        row.totals.total = Bounded::toInt(query.value(1), 0);
        row.totals.keys = Bounded::toInt(query.value(2), 0);
        row.totals.seconds = Bounded::toDouble(query.value(3), 0.0, kMaxSeconds);
        row.totals.chars = Bounded::toInt(query.value(4), 0);
        row.gdTime = query.value(5).toString();
    }
    if (row.found)
        row.regTime = myHelper::getOne(QStringLiteral("select u_regtime from kelm_user where u_truename=?"), {name});
    return row;
}

Merged merge(const Totals& local, bool localCountsToday, const Row& remote, const QDate& today)
{
    Merged merged;
    merged.totals = local;
    if (!localCountsToday)
        merged.totals.today = 0;
    if (!remote.found) {
        merged.gdTime = localCountsToday ? today.toString(QStringLiteral("yyyy-MM-dd")) : QString();
        return merged;
    }
    const QString todayText = today.toString(QStringLiteral("yyyy-MM-dd"));
    const bool remoteCountsToday = remote.gdTime.trimmed() == todayText;
    if (remoteCountsToday)
        merged.totals.today = std::max(merged.totals.today, remote.totals.today);
    merged.totals.total = std::max(local.total, remote.totals.total);
    merged.totals.keys = std::max(local.keys, remote.totals.keys);
    merged.totals.seconds = std::max(local.seconds, remote.totals.seconds);
    merged.totals.chars = std::max(local.chars, remote.totals.chars);
    merged.gdTime = localCountsToday || remoteCountsToday ? todayText : remote.gdTime;
    return merged;
}

QList<Owed> owedFromText(const QString& text)
{
    QList<Owed> owed;
    const QJsonArray entries = QJsonDocument::fromJson(text.toUtf8()).array();
    for (const QJsonValue& value : entries) {
        const QJsonObject entry = value.toObject();
        Owed record;
        record.user = entry.value(QLatin1String("user")).toString();
        if (record.user.isEmpty())
            continue;
        record.day = entry.value(QLatin1String("day")).toString();
        record.totals.today = Bounded::toInt(entry.value(QLatin1String("today")).toVariant(), 0);
        record.totals.total = Bounded::toInt(entry.value(QLatin1String("total")).toVariant(), 0);
        record.totals.keys = Bounded::toInt(entry.value(QLatin1String("keys")).toVariant(), 0);
        record.totals.seconds = Bounded::toDouble(entry.value(QLatin1String("seconds")).toVariant(), 0.0, kMaxSeconds);
        record.totals.chars = Bounded::toInt(entry.value(QLatin1String("chars")).toVariant(), 0);
        owed << record;
    }
    return owed;
}

QString owedText(const QList<Owed>& owed)
{
    if (owed.isEmpty())
        return QString();
    QJsonArray entries;
    for (const Owed& record : owed) {
        entries.append(QJsonObject{{QLatin1String("user"), record.user},
                                   {QLatin1String("day"), record.day},
                                   {QLatin1String("today"), record.totals.today},
                                   {QLatin1String("total"), record.totals.total},
                                   {QLatin1String("keys"), record.totals.keys},
                                   {QLatin1String("seconds"), record.totals.seconds},
                                   {QLatin1String("chars"), record.totals.chars}});
    }
    return QString::fromUtf8(QJsonDocument(entries).toJson(QJsonDocument::Compact));
}

SignIn signIn(const Local& local, const QString& user, const QDate& today)
{
    SignIn result;
    result.clearUser = local.clearUser;
    result.totalsClearUser = local.totalsClearUser;
    result.syncUser = local.syncUser;
    result.owed = local.owed;
    const auto ownedBy = [](const QString& name) { return [name](const Owed& record) { return record.user == name; }; };
    // The account's own cleared record goes over its row whole (writeBack); any other record leaves
    // what its clearings owe to be written here, before the row is read.
    const bool ownClearedRecord = local.recordUser == user && local.clearPending;
    const auto owed = [&](QString& owner, const char* statement) {
        if (!user.isEmpty() && owner == user && !ownClearedRecord &&
            myHelper::exec(QString::fromLatin1(statement), {user}))
            owner.clear();
    };
    owed(result.clearUser, "update kelm_user set u_jilu=0,u_totaljilu=0 where u_truename=?");
    owed(result.totalsClearUser,
         "update kelm_user set u_totaljs=0,u_totalsj=0,u_totalzs=0,u_avejj=0,u_avemc=0 where u_truename=?");
    result.row = read(user);
    if (!result.row.found)
        return result;
    if (ownClearedRecord) {
        result.merged = merge(local.totals, local.countsToday, Row(), today);
        result.writeBack = true;
    } else if (local.recordUser == user || local.recordUser.isEmpty()) {
        result.merged = merge(local.totals, local.countsToday, result.row, today);
    } else {
        // The other account's runs that never reached its row wait for its next sign-in; its
        // clearings are already in the record.
        if (local.syncUser == local.recordUser) {
            const QString todayText = today.toString(QStringLiteral("yyyy-MM-dd"));
            Owed record{local.recordUser, local.totals, local.countsToday ? todayText : QString()};
            if (!local.countsToday)
                record.totals.today = 0;
            result.owed.erase(std::remove_if(result.owed.begin(), result.owed.end(), ownedBy(local.recordUser)),
                              result.owed.end());
            result.owed << record;
        }
        result.syncUser.clear();
        result.merged = merge(Totals(), false, result.row, today);
        result.replaced = true;
    }
    // This account's own record, kept when another's sign-in took its place: merged in like a local
    // record of its own, and owed until the caller has written it to the row.
    const auto own = std::find_if(result.owed.begin(), result.owed.end(), ownedBy(user));
    if (!ownClearedRecord && own != result.owed.end()) {
        const bool countsToday = own->day == today.toString(QStringLiteral("yyyy-MM-dd"));
        result.merged =
            merge(own->totals, countsToday, Row{true, result.merged.totals, result.merged.gdTime, QString()}, today);
        result.owed.erase(std::remove_if(result.owed.begin(), result.owed.end(), ownedBy(user)), result.owed.end());
        result.syncUser = user;
    }
    return result;
}

QVariantList updateValues(const Sync& sync, const QString& name)
{
    const int days = std::max(1, sync.recordDays);
    return {sync.totals.today,
            sync.totals.total,
            sync.totals.keys,
            sync.totals.seconds,
            sync.totals.chars,
            sync.totals.total / days,
            averageOrZero(sync.averageKeyRate),
            averageOrZero(sync.averageCodeLength),
            sync.date,
            name};
}

bool write(const Sync& sync, const QString& name)
{
    if (name.isEmpty())
        return false;
    const bool ok = myHelper::exec(QStringLiteral("update kelm_user set u_jilu=?,u_totaljilu=?,u_totaljs=?,"
                                                  "u_totalsj=?,u_totalzs=?,u_avedayjilu=?,u_avejj=?,u_avemc=?,"
                                                  "u_gdtime=? where u_truename=?"),
                                   updateValues(sync, name));
    if (!ok)
        qDebug() << "失败";
    return ok;
}

} // namespace RemoteRecord
