#include "app/core/myhelper.h"

#include "app/core/app.h"
#include "app/core/connection.h"
#include "app/core/serveranswers.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtDebug>

namespace {

// At most what the statement sends: its text, then each bound value with its type and length prefix
// (or a number or date itself); a text by the UTF-8 bytes the connection sends, not its characters.
qint64 statementBytes(const QString& sql, const QVariantList& values)
{
    constexpr qint64 kHeader = 16;
    constexpr qint64 kPerValue = 20;
    qint64 bytes = kHeader + sql.toUtf8().size();
    for (const QVariant& value : values) {
        bytes += kPerValue;
        if (value.userType() == QMetaType::QString)
            bytes += value.toString().toUtf8().size();
        else if (value.userType() == QMetaType::QByteArray)
            bytes += value.toByteArray().size();
    }
    return bytes;
}

// Preparing is the statement's first exchange with the server and runs nothing: a connection found
// gone there, or closed after an earlier loss, is opened once more and the statement prepared again,
// unless the server left it unanswered.
bool prepare(QSqlQuery& query, const QString& sql)
{
    if (isConnectionOpen()) {
        QElapsedTimer waited;
        waited.start();
        if (query.prepare(sql))
            return true;
        qDebug() << "myHelper" << query.lastError();
        if (!isConnectionLost(query.lastError()))
            return false;
        closeLostConnection(waited.elapsed());
    }
    if (!reopenConnection()) {
        qDebug() << "myHelper: 数据库连接已断开";
        return false;
    }
    if (query.prepare(sql))
        return true;
    qDebug() << "myHelper" << query.lastError();
    return false;
}

} // namespace

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
    // The server answers a packet beyond its limit by dropping the connection, and every later
    // statement of the session would fail with it.
    const qint64 bytes = statementBytes(sql, values);
    if (App::DbPacketLimit > 0 && bytes > App::DbPacketLimit) {
        qDebug() << "myHelper: 语句过长" << bytes << "字节，服务器上限" << App::DbPacketLimit;
        return false;
    }
    query.setForwardOnly(true);
    if (!prepare(query, sql)) {
        return false;
    }
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    QElapsedTimer waited;
    waited.start();
    if (!query.exec()) {
        qDebug() << "myHelper" << query.lastError();
        // Lost after it was sent: the server may have run it, so it is never sent twice. A later
        // statement opens the connection anew before it is sent.
        if (isConnectionLost(query.lastError()))
            closeLostConnection(waited.elapsed());
        return false;
    }
    ServerAnswers::notify();
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
