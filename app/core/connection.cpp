#include "app/core/connection.h"

#include "app/core/app.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QtDebug>

namespace {

// A dead or black-holed server must not freeze start-up: the client library would otherwise wait
// for the handshake and for every answer without limit. Seconds.
const char* const kConnectOptions = "MYSQL_OPT_CONNECT_TIMEOUT=3;MYSQL_OPT_READ_TIMEOUT=5;MYSQL_OPT_WRITE_TIMEOUT=5";

// When the server cannot be reached, the client library names the error of its non-blocking
// connect ("115", in progress) instead of why it failed, and errno holds no better. A short connect
// of our own names the reason (refused, no route); a reachable server adds nothing.
QString connectFailure(const QString& nativeCode)
{
    if (nativeCode != QLatin1String("2002") && nativeCode != QLatin1String("2003"))
        return QString();
    QTcpSocket socket;
    socket.connectToHost(App::DbHost, App::DbPort);
    if (socket.waitForConnected(1000) || socket.error() == QAbstractSocket::SocketTimeoutError)
        return QString();
    return socket.errorString();
}

} // namespace

bool createConnection()
{
    App::DbPacketLimit = 0;
    if (App::DbHost.isEmpty()) {
        qInfo("No database host configured: running offline");
        return false;
    }

    const QString name = QLatin1String(QSqlDatabase::defaultConnection);
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    db.setHostName(App::DbHost);
    db.setPort(App::DbPort);
    db.setDatabaseName(App::DbName);
    db.setUserName(App::DbUser);
    db.setPassword(App::DbPassword);
    db.setConnectOptions(QString::fromLatin1(kConnectOptions));

    if (!db.open()) {
        const QString reason = connectFailure(db.lastError().nativeErrorCode());
        qCritical("Can't open database: %s%s", db.lastError().text().toLocal8Bit().constData(),
                  reason.isEmpty() ? "" : qPrintable(QStringLiteral(" (%1)").arg(reason)));
        return false;
    }
    // The driver picks the 4-byte character set only when the client library reports a MySQL
    // version number; MariaDB's library reports its own, lower one, and the session is left on
    // 3-byte utf8, which refuses characters outside the basic plane (rare hanzi, emoji).
    QSqlQuery names(db);
    if (!names.exec(QStringLiteral("SET NAMES utf8mb4"))) {
        qDebug() << "Connection" << names.lastError();
    }
    // Fixed for the session's life: read once, so that a statement beyond it is refused unsent.
    QSqlQuery limit(db);
    if (limit.exec(QStringLiteral("SELECT @@max_allowed_packet")) && limit.next())
        App::DbPacketLimit = limit.value(0).toLongLong();
    else
        qDebug() << "Connection" << limit.lastError();
    return true;
}
