#include "app/core/myhelper.h"

#include "app/core/app.h"

#include <QCryptographicHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QtDebug>

QString myHelper::getOne(const QString& sql)
{
    return getOne(sql, {});
}

QString myHelper::getOne(const QString& sql, const QVariantList& values)
{
    // Checked here too, so that offline not even a query object touches the driver.
    if (!App::DbOnline) {
        return QString();
    }
    QSqlQuery query;
    if (!run(query, sql, values) || !query.next()) {
        return QString();
    }
    return query.value(0).toString();
}

bool myHelper::exec(const QString& sql, const QVariantList& values)
{
    if (!App::DbOnline) {
        return false;
    }
    QSqlQuery query;
    return run(query, sql, values);
}

bool myHelper::run(QSqlQuery& query, const QString& sql, const QVariantList& values)
{
    if (!App::DbOnline) {
        return false;
    }
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        qDebug() << "myHelper" << query.lastError();
        return false;
    }
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        qDebug() << "myHelper" << query.lastError();
        return false;
    }
    return true;
}

QVariant myHelper::boundText(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

QString myHelper::getMd5(const QString& str)
{
    return QString::fromLatin1(QCryptographicHash::hash(str.toUtf8(), QCryptographicHash::Md5).toHex());
}
