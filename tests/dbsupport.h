#ifndef TAVREL_DBSUPPORT_H
#define TAVREL_DBSUPPORT_H

#include "app/core/app.h"
#include "app/core/connection.h"
#include "app/core/myhelper.h"
#include "testsupport.h"

#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

// The private MariaDB of test.sh as the database tests use it. Rows a run writes carry its tag (in
// the text name, user name or ranking user), so parallel tests on the same database never collide.
namespace dbt {

// Opens the default connection and marks the program online; false without a test database.
inline bool connect()
{
    App::DbHost = TestDb::host();
    App::DbPort = TestDb::port();
    App::DbName = TestDb::name();
    App::DbUser = TestDb::user();
    App::DbPassword = TestDb::password();
    return App::DbOnline = TestDb::available() && createConnection();
}

// Removes the rows a run wrote: every text, user and ranking entry carrying its tag.
inline void removeTagged(const QString& tag)
{
    myHelper::exec(QStringLiteral("DELETE FROM kelm_text WHERE a_name LIKE ?"), {tag + "%"});
    myHelper::exec(QStringLiteral("DELETE FROM kelm_user WHERE u_truename LIKE ?"), {tag + "%"});
    myHelper::exec(QStringLiteral("DELETE FROM kelm_rank WHERE r_username LIKE ? OR r_text LIKE ?"),
                   {tag + "%", tag + "%"});
}

// The first row's columns as texts, empty when there is none.
inline QStringList firstRow(const QString& sql, const QVariantList& values)
{
    QSqlQuery query;
    QStringList columns;
    if (myHelper::run(query, sql, values) && query.next()) {
        for (int i = 0; i < query.record().count(); ++i)
            columns << query.value(i).toString();
    }
    return columns;
}

// Ends the session `id` from a second connection, as a restarting server ends its sessions.
inline bool killSession(const QString& id)
{
    const QString name = QStringLiteral("killer");
    bool killed = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
        db.setHostName(TestDb::host());
        db.setPort(TestDb::port());
        db.setDatabaseName(TestDb::name());
        db.setUserName(TestDb::user());
        db.setPassword(TestDb::password());
        QSqlQuery kill(db);
        killed = db.open() && kill.exec(QStringLiteral("KILL CONNECTION %1").arg(id.toLongLong()));
        if (!killed)
            qWarning() << "killSession" << db.lastError() << kill.lastError();
    }
    QSqlDatabase::removeDatabase(name);
    return killed;
}

// A port on loopback whose connections are counted and handed to `accepted`, served from its own
// thread with its own event loop, so that a client blocked in the driver is served at once.
class Listener
{
public:
    explicit Listener(std::function<void(QTcpSocket*)> accepted)
    {
        QSemaphore listening;
        m_thread.reset(QThread::create([this, &listening, accepted] {
            QTcpServer server;
            server.listen(QHostAddress::LocalHost);
            m_port = server.serverPort();
            QObject::connect(&server, &QTcpServer::newConnection, [this, &server, accepted] {
                while (QTcpSocket* socket = server.nextPendingConnection()) {
                    ++m_connections;
                    accepted(socket);
                }
            });
            listening.release();
            QEventLoop().exec();
        }));
        m_thread->start();
        listening.acquire();
    }
    ~Listener()
    {
        m_thread->quit();
        m_thread->wait();
    }
    int port() const { return m_port; }
    int connections() const { return m_connections; }

private:
    std::unique_ptr<QThread> m_thread;
    std::atomic<int> m_port{0};
    std::atomic<int> m_connections{0};
};

// A port whose every connection is dropped as soon as it is made: the database server's address
// while the server is away.
class AwayServer : public Listener
{
public:
    AwayServer() : Listener([](QTcpSocket* socket) { socket->abort(); }) {}
};

// The network between the program and the test server: each connection made through it is passed
// on to the server. Once cut, nothing more passes either way while every connection stays open, as
// when a cable is pulled or the server is suspended: the server does not answer.
class Link : public Listener
{
public:
    Link()
        : Listener([this](QTcpSocket* client) {
              auto* server = new QTcpSocket(client);
              server->connectToHost(TestDb::host(), TestDb::port());
              pass(client, server);
              pass(server, client);
          })
    {
    }
    void cut() { m_cut = true; }

private:
    void pass(QTcpSocket* from, QTcpSocket* to)
    {
        QObject::connect(from, &QTcpSocket::readyRead, to, [this, from, to] {
            if (!m_cut)
                to->write(from->readAll());
        });
        QObject::connect(from, &QTcpSocket::disconnected, to, &QTcpSocket::disconnectFromHost);
    }

    std::atomic<bool> m_cut{false};
};

} // namespace dbt

#endif
