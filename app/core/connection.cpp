#include "app/core/connection.h"

#include "app/core/app.h"

#include <QDeadlineTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTcpSocket>
#include <QtDebug>

namespace {

// A dead or black-holed server must not freeze start-up: the client library would otherwise wait
// for the handshake and for every answer without limit. Seconds.
const int kConnectLimit = 3;
const QString kConnectOptions = QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1;MYSQL_OPT_READ_TIMEOUT=%2;"
                                               "MYSQL_OPT_WRITE_TIMEOUT=%2")
                                    .arg(kConnectLimit)
                                    .arg(kReadLimitMs / 1000);

struct Reopening
{
    std::function<qint64()> clock;
    bool failed = false; // the last attempt found the server away
    qint64 failedAt = 0;
};

Reopening& reopening()
{
    static Reopening state;
    return state;
}

qint64 now()
{
    const Reopening& state = reopening();
    return state.clock ? state.clock() : QDeadlineTimer::current().deadline();
}

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

// The default connection, set to the deployment values, not opened.
QSqlDatabase configuredConnection()
{
    const QString name = QLatin1String(QSqlDatabase::defaultConnection);
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    db.setHostName(App::DbHost);
    db.setPort(App::DbPort);
    db.setDatabaseName(App::DbName);
    db.setUserName(App::DbUser);
    db.setPassword(App::DbPassword);
    db.setConnectOptions(kConnectOptions);
    return db;
}

// The session as every statement expects it; false when a setting failed (logged).
bool setUpSession(const QSqlDatabase& db)
{
    // The driver picks the 4-byte character set only when the client library reports a MySQL
    // version number; MariaDB's library reports its own, lower one, and the session is left on
    // 3-byte utf8, which refuses characters outside the basic plane (rare hanzi, emoji).
    QSqlQuery names(db);
    const bool named = names.exec(QStringLiteral("SET NAMES utf8mb4"));
    if (!named)
        qDebug() << "Connection" << names.lastError();
    // Fixed for the session's life: read once, so that a statement beyond it is refused unsent.
    QSqlQuery limit(db);
    if (limit.exec(QStringLiteral("SELECT @@max_allowed_packet")) && limit.next()) {
        App::DbPacketLimit = limit.value(0).toLongLong();
        return named;
    }
    qDebug() << "Connection" << limit.lastError();
    return false;
}

} // namespace

bool createConnection()
{
    App::DbPacketLimit = 0;
    reopening().failed = false;
    if (App::DbHost.isEmpty()) {
        qInfo("No database host configured: running offline");
        return false;
    }

    QSqlDatabase db = configuredConnection();
    if (!db.open()) {
        const QString reason = connectFailure(db.lastError().nativeErrorCode());
        qCritical("Can't open database: %s%s", db.lastError().text().toLocal8Bit().constData(),
                  reason.isEmpty() ? "" : qPrintable(QStringLiteral(" (%1)").arg(reason)));
        return false;
    }
    setUpSession(db);
    return true;
}

bool reopenConnection()
{
    Reopening& state = reopening();
    if (state.failed && now() - state.failedAt < kReopenPauseMs)
        return false;
    QSqlDatabase db = configuredConnection();
    db.close();
    bool opened = db.open();
    if (!opened)
        qDebug() << "数据库重新连接失败：" << db.lastError();
    // A session without its settings would store text differently from the first: not used.
    else if (!(opened = setUpSession(db)))
        db.close();
    state.failed = !opened;
    state.failedAt = now();
    if (opened)
        qDebug() << "数据库已重新连接";
    return opened;
}

bool isConnectionLost(const QSqlError& error)
{
    // The client library's "gone away" and "lost" (2055: with the system's reason); the server's
    // "connection killed" and "shutdown in progress".
    static const QStringList codes{QStringLiteral("2006"), QStringLiteral("2013"), QStringLiteral("2055"),
                                   QStringLiteral("1927"), QStringLiteral("1053")};
    return codes.contains(error.nativeErrorCode());
}

void closeLostConnection(qint64 waitedMs)
{
    QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).close();
    if (waitedMs < kReadLimitMs)
        return;
    qDebug() << "数据库没有应答";
    Reopening& state = reopening();
    state.failed = true;
    state.failedAt = now();
}

bool isConnectionOpen()
{
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).isOpen();
}

void setConnectionClock(std::function<qint64()> clock)
{
    reopening().clock = std::move(clock);
}
