#ifndef TAVREL_DBSUPPORT_H
#define TAVREL_DBSUPPORT_H

#include "app/core/app.h"
#include "app/core/connection.h"
#include "app/core/myhelper.h"
#include "testsupport.h"

#include <QSqlQuery>
#include <QSqlRecord>

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

} // namespace dbt

#endif
