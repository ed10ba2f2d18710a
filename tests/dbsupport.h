#ifndef TAVREL_DBSUPPORT_H
#define TAVREL_DBSUPPORT_H

#include "app/core/app.h"
#include "app/core/connection.h"
#include "app/core/myhelper.h"
#include "testsupport.h"

#include <QSqlQuery>

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

inline void removeTagged(const QString& tag)
{
    myHelper::exec("DELETE FROM kelm_text WHERE a_name LIKE ?", {tag + "%"});
    myHelper::exec("DELETE FROM kelm_user WHERE u_truename LIKE ?", {tag + "%"});
    myHelper::exec("DELETE FROM kelm_rank WHERE r_username LIKE ? OR r_text LIKE ?", {tag + "%", tag + "%"});
}

} // namespace dbt

#endif
