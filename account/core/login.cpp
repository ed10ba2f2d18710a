#include "account/core/login.h"

#include "app/core/connection.h"
#include "app/core/myhelper.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QtDebug>

namespace {

// The digest the server keeps for the account, empty without one; false when the statement failed.
bool storedDigest(const QString& name, QString* digest)
{
    QSqlQuery query;
    if (!myHelper::run(query, QStringLiteral("select u_password from kelm_user where u_truename=?"), {name}))
        return false;
    *digest = query.next() ? query.value(0).toString() : QString();
    return true;
}

} // namespace

namespace AccountLogin {

bool isEmailAddress(const QString& account)
{
    const int at = account.indexOf(QLatin1Char('@'));
    return at > 0 && account.indexOf(QLatin1Char('.'), at + 1) > at;
}

bool isDigest(const QString& text)
{
    if (text.size() != 32)
        return false;
    for (const QChar c : text) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    }
    return true;
}

QString rememberedDigest(const QString& stored)
{
    return isDigest(stored) ? stored : myHelper::getMd5(stored);
}

Result check(const QString& account, const QString& password, bool online)
{
    Result result;
    result.name = account;
    if (!online)
        return result;
    if (isEmailAddress(account)) {
        QSqlQuery query;
        if (myHelper::run(query, QStringLiteral("select u_truename from kelm_user where u_email=?"), {account})) {
            QString found;
            while (query.next())
                found = query.value(0).toString();
            if (!found.isEmpty())
                result.name = found;
        } else {
            qDebug() << "登陆：" << query.lastError();
        }
    }
    QString stored;
    result.answered = storedDigest(result.name, &stored) || isConnectionOpen();
    result.passed = !stored.isEmpty() && stored == myHelper::getMd5(password);
    return result;
}

Remembered checkRemembered(const QString& name, const QString& digest, bool online)
{
    if (!online || name.isEmpty())
        return Remembered::Unchecked;
    QString stored;
    if (!storedDigest(name, &stored))
        return Remembered::Unchecked;
    return !stored.isEmpty() && stored == digest ? Remembered::SignedIn : Remembered::Rejected;
}

QString latestVersionTitle(const QString& version, const QString& appTitle)
{
    return version.trimmed().isEmpty() ? appTitle : QStringLiteral("Tavrel跟打器") + version;
}

} // namespace AccountLogin
