#include "app/app.h"
#include "app/connection.h"
#include "app/myhelper.h"
#include "testsupport.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QtTest>

namespace {

// Collects every log line while it lives, so a test can count exactly what was written.
class MessageLog
{
public:
    MessageLog()
    {
        s_current = this;
        m_previous = qInstallMessageHandler(&MessageLog::handle);
    }
    ~MessageLog()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    QStringList lines(QtMsgType type) const
    {
        QStringList out;
        for (const auto& entry : m_entries) {
            if (entry.first == type) {
                out << entry.second;
            }
        }
        return out;
    }
    int count() const { return m_entries.size(); }

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        s_current->m_entries.append({type, text});
    }
    static MessageLog* s_current;
    QtMessageHandler m_previous = nullptr;
    QVector<QPair<QtMsgType, QString>> m_entries;
};
MessageLog* MessageLog::s_current = nullptr;

#define REQUIRE_DB()                                                                                                   \
    do {                                                                                                               \
        if (!TestDb::available())                                                                                      \
            QSKIP("TAVREL_TEST_DB_HOST/TAVREL_TEST_DB_PORT not set: no test database to talk to");                     \
    } while (0)

bool connectDb()
{
    App::DbOnline = createConnection();
    return App::DbOnline;
}

// A loopback port that nothing listens on: take one from the kernel and let it go again.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

private:
    // Rows this run writes carry the tag, so parallel tests on the same database never collide.
    const QString m_tag = QStringLiteral("dbt%1-").arg(QCoreApplication::applicationPid());
    QString user() const { return m_tag + "user"; }

private slots:
    void initTestCase()
    {
        if (!TestDb::available()) {
            return;
        }
        useTestDb();
        QVERIFY(connectDb());
        QVERIFY(myHelper::exec("INSERT INTO kelm_user (u_truename, u_email, u_jilu, u_totalsj, u_title) "
                               "VALUES (?, NULL, ?, ?, ?)",
                               {user(), 1234, 12.5, QStringLiteral("打字高手")}));
        cleanup();
    }

    void cleanupTestCase()
    {
        if (!TestDb::available()) {
            return;
        }
        useTestDb();
        if (connectDb()) {
            myHelper::exec("DELETE FROM kelm_text WHERE a_name LIKE ?", {m_tag + "%"});
            myHelper::exec("DELETE FROM kelm_user WHERE u_truename LIKE ?", {m_tag + "%"});
        }
        cleanup();
    }

    void init() { useTestDb(); }

    // The default connection is process-wide: every case starts without one.
    void cleanup()
    {
        App::DbOnline = false;
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    }

    void opensDefaultConnectionAgain()
    {
        REQUIRE_DB();
        MessageLog log;
        QVERIFY(createConnection());
        QVERIFY(QSqlDatabase::database().isOpen());
        // A second call takes the registered connection instead of replacing it with a warning.
        QVERIFY(createConnection());
        QCOMPARE(QSqlDatabase::connectionNames(), QStringList{QSqlDatabase::defaultConnection});
        QCOMPARE(log.count(), 0);
    }

    void chineseRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("plain") << QStringLiteral("跟打练习每天一段");
        QTest::addRow("punctuation") << QStringLiteral("“你好”，世界！……——《书名》");
        QTest::addRow("outside the basic plane") << QStringLiteral("𠀀𪚥古字 and 😀");
        QTest::addRow("mixed lines") << QStringLiteral("abc中文123\n第二行\t制表");
    }
    void chineseRoundTrip()
    {
        REQUIRE_DB();
        QFETCH(QString, text);
        QVERIFY(connectDb());
        QCOMPARE(myHelper::getOne("SELECT @@character_set_connection"), QStringLiteral("utf8mb4"));

        const QString name = m_tag + "cn-" + QTest::currentDataTag();
        QVERIFY(myHelper::exec("INSERT INTO kelm_text (a_name, a_content) VALUES (?, ?)", {name, text}));
        QCOMPARE(myHelper::getOne("SELECT a_content FROM kelm_text WHERE a_name = ?", {name}), text);
        // Stored as real UTF-8 on the server, not bytes that merely come back the way they went in.
        QCOMPARE(myHelper::getOne("SELECT HEX(a_content) FROM kelm_text WHERE a_name = ?", {name}),
                 QString::fromLatin1(text.toUtf8().toHex().toUpper()));
        QCOMPARE(myHelper::getOne("SELECT CHAR_LENGTH(a_content) FROM kelm_text WHERE a_name = ?", {name}),
                 QString::number(text.toUcs4().size()));
        // Bound values work in WHERE as well.
        QCOMPARE(myHelper::getOne("SELECT a_name FROM kelm_text WHERE a_content = ? AND a_name LIKE ?",
                                  {text, m_tag + "cn-%"}),
                 name);
    }

    void boundValuesStayValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addRow("single quote") << QStringLiteral("it's");
        QTest::addRow("double quote") << QStringLiteral("say \"hi\"");
        QTest::addRow("backslashes") << QStringLiteral("C:\\text\\n\\\\end\\");
        QTest::addRow("injection") << QStringLiteral("'; drop table kelm_user; --");
        QTest::addRow("escaped injection") << QStringLiteral("\\'; DELETE FROM kelm_text; -- ");
        QTest::addRow("placeholder and wildcards") << QStringLiteral("a ? b %_ `x`");
    }
    void boundValuesStayValues()
    {
        REQUIRE_DB();
        QFETCH(QString, value);
        QVERIFY(connectDb());
        const QString name = m_tag + "q-" + QTest::currentDataTag();
        QVERIFY(myHelper::exec("INSERT INTO kelm_text (a_name, a_content) VALUES (?, ?)", {name, value}));
        QCOMPARE(myHelper::getOne("SELECT a_content FROM kelm_text WHERE a_name = ?", {name}), value);
        QCOMPARE(myHelper::getOne("SELECT COUNT(*) FROM kelm_text WHERE a_content = ? AND a_name = ?", {value, name}),
                 QStringLiteral("1"));
        QCOMPARE(myHelper::getOne("SELECT COUNT(*) FROM information_schema.tables "
                                  "WHERE table_schema = DATABASE() AND table_name IN ('kelm_user', 'kelm_text')"),
                 QStringLiteral("2"));
        QCOMPARE(myHelper::getOne("SELECT u_jilu FROM kelm_user WHERE u_truename = ?", {user()}),
                 QStringLiteral("1234"));
    }

    void getOne_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("expected");
        const QString byUser = QStringLiteral(" FROM kelm_user WHERE u_truename = ?");
        QTest::addRow("NULL value") << "SELECT NULL" << QVariantList() << "";
        QTest::addRow("NULL before a value") << "SELECT NULL, 'x'" << QVariantList() << "";
        QTest::addRow("NULL column") << "SELECT u_email" + byUser << QVariantList{user()} << "";
        QTest::addRow("no row") << "SELECT u_jilu" + byUser << QVariantList{m_tag + "nobody"} << "";
        QTest::addRow("integer column") << "SELECT u_jilu" + byUser << QVariantList{user()} << "1234";
        QTest::addRow("double column") << "SELECT u_totalsj" + byUser << QVariantList{user()} << "12.5";
        QTest::addRow("count") << "SELECT COUNT(*)" + byUser << QVariantList{user()} << "1";
        QTest::addRow("negative") << "SELECT -7" << QVariantList() << "-7";
        QTest::addRow("decimal") << "SELECT 3.25" << QVariantList() << "3.25";
        QTest::addRow("beyond double precision") << "SELECT 9007199254740993" << QVariantList() << "9007199254740993";
        QTest::addRow("text column") << "SELECT u_title" + byUser << QVariantList{user()} << "打字高手";
        QTest::addRow("first row only") << "SELECT a FROM (SELECT 'first' AS a UNION ALL SELECT 'second') t ORDER BY a"
                                        << QVariantList() << "first";
        QTest::addRow("bound number") << "SELECT ? + 1" << QVariantList{41} << "42";
    }
    void getOne()
    {
        REQUIRE_DB();
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        QFETCH(QString, expected);
        QVERIFY(connectDb());
        MessageLog log;
        QCOMPARE(values.isEmpty() ? myHelper::getOne(sql) : myHelper::getOne(sql, values), expected);
        QCOMPARE(log.count(), 0);
    }

    void failuresAreLogged_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addRow("syntax error") << "SELEC u_jilu FROM kelm_user" << QVariantList();
        QTest::addRow("missing table") << "SELECT x FROM kelm_nosuch" << QVariantList();
        QTest::addRow("value missing") << "SELECT ? + ?" << QVariantList{1};
        // Fails only when run, not when prepared.
        QTest::addRow("duplicate key") << "INSERT INTO kelm_user (u_truename) VALUES (?)" << QVariantList{user()};
    }
    void failuresAreLogged()
    {
        REQUIRE_DB();
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        QVERIFY(connectDb());
        {
            MessageLog log;
            QCOMPARE(myHelper::getOne(sql, values), QString());
            const QStringList lines = log.lines(QtDebugMsg);
            QCOMPARE(log.count(), 1);
            QCOMPARE(lines.size(), 1);
            QVERIFY2(lines.first().startsWith("myHelper QSqlError("), qPrintable(lines.first()));
        }
        {
            MessageLog log;
            QVERIFY(!myHelper::exec(sql, values));
            QCOMPARE(log.lines(QtDebugMsg).size(), 1);
            QVERIFY(log.lines(QtDebugMsg).first().startsWith("myHelper "));
        }
        // The connection is still usable afterwards.
        QCOMPARE(myHelper::getOne("SELECT 1"), QStringLiteral("1"));
    }

    void runReadsRowsAndColumns()
    {
        REQUIRE_DB();
        QVERIFY(connectDb());
        const QStringList names{m_tag + "rows-a", m_tag + "rows-b", m_tag + "rows-c"};
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY(myHelper::exec("INSERT INTO kelm_text (a_name, a_content, a_gdnum) VALUES (?, ?, ?)",
                                   {names[i], QStringLiteral("第%1篇").arg(i + 1), i * 10}));
        }
        QSqlQuery query;
        QVERIFY(myHelper::run(query,
                              "SELECT a_name, a_content, a_gdnum FROM kelm_text WHERE a_name LIKE ? ORDER BY a_name",
                              {m_tag + "rows-%"}));
        QStringList seen;
        while (query.next()) {
            seen << QStringLiteral("%1|%2|%3")
                        .arg(query.value(0).toString(), query.value(1).toString(), query.value(2).toString());
        }
        QCOMPARE(seen, (QStringList{names[0] + "|第1篇|0", names[1] + "|第2篇|10", names[2] + "|第3篇|20"}));
    }

    void offlineWithoutConnectionIsSilent()
    {
        App::DbOnline = false;
        MessageLog log;
        QCOMPARE(myHelper::getOne("SELECT 1"), QString());
        QCOMPARE(myHelper::getOne("SELECT ?", {1}), QString());
        QVERIFY(!myHelper::exec("DELETE FROM kelm_user"));
        QSqlQuery query;
        QVERIFY(!myHelper::run(query, "SELECT 1"));
        QVERIFY(!query.isActive());
        QCOMPARE(log.count(), 0);
    }

    void offlineSendsNothing()
    {
        REQUIRE_DB();
        QVERIFY(connectDb());
        const QString prepares = QStringLiteral("SELECT VARIABLE_VALUE FROM information_schema.SESSION_STATUS "
                                                "WHERE VARIABLE_NAME = 'COM_STMT_PREPARE'");
        const QString before = myHelper::getOne(prepares);
        QVERIFY(!before.isEmpty());

        App::DbOnline = false;
        const QString name = m_tag + "offline";
        {
            MessageLog log;
            QCOMPARE(myHelper::getOne("INSERT INTO kelm_text (a_name) VALUES ('" + name + "')"), QString());
            QCOMPARE(myHelper::getOne("INSERT INTO kelm_text (a_name) VALUES (?)", {name}), QString());
            QVERIFY(!myHelper::exec("INSERT INTO kelm_text (a_name) VALUES (?)", {name}));
            QSqlQuery query;
            QVERIFY(!myHelper::run(query, "INSERT INTO kelm_text (a_name) VALUES (?)", {name}));
            QCOMPARE(log.count(), 0);
        }
        App::DbOnline = true;

        // Only the counter query itself was prepared in between.
        QCOMPARE(myHelper::getOne(prepares).toLongLong(), before.toLongLong() + 1);
        QCOMPARE(myHelper::getOne("SELECT COUNT(*) FROM kelm_text WHERE a_name = ?", {name}), QStringLiteral("0"));
    }

    void md5_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("digest");
        QTest::addRow("empty") << ""
                               << "d41d8cd98f00b204e9800998ecf8427e";
        QTest::addRow("ascii") << "abc"
                               << "900150983cd24fb0d6963f7d28e17f72";
        QTest::addRow("chinese") << "中文"
                                 << "a7bac2239fcdcb3a067903d8077c4a07";
        QTest::addRow("outside the basic plane") << "跟打器𠀀"
                                                 << "68f749a3e7f4a5a1f1b0ddeaf9753cc3";
    }
    void md5()
    {
        QFETCH(QString, text);
        QFETCH(QString, digest);
        QCOMPARE(myHelper::getMd5(text), digest);
    }

    void unreachableServerFails_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addRow("closed port") << "closed";
        // Accepts the connection but never greets: only the connect timeout ends the wait.
        QTest::addRow("silent server") << "silent";
        QTest::addRow("wrong password") << "password";
        QTest::addRow("unknown database") << "database";
    }
    void unreachableServerFails()
    {
        QFETCH(QString, kind);
        QTcpServer silent;
        App::DbHost = QStringLiteral("127.0.0.1");
        if (kind == "closed") {
            App::DbPort = closedPort();
            QVERIFY(App::DbPort > 0);
        } else if (kind == "silent") {
            QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
            App::DbPort = silent.serverPort();
        } else {
            REQUIRE_DB();
            if (kind == "password") {
                App::DbPassword += "-wrong";
            } else {
                App::DbName = m_tag + "nodb";
            }
        }

        MessageLog log;
        QVERIFY(!createConnection());
        const QStringList critical = log.lines(QtCriticalMsg);
        QCOMPARE(critical.size(), 1);
        QVERIFY2(critical.first().startsWith("Can't open database: "), qPrintable(critical.first()));
        QVERIFY2(critical.first().endsWith(")"), qPrintable(critical.first()));
        QVERIFY(QSqlDatabase::contains(QSqlDatabase::defaultConnection));
        QVERIFY(!QSqlDatabase::database(QSqlDatabase::defaultConnection, false).isOpen());
    }

    void emptyHostIsOffline()
    {
        App::DbHost.clear();
        MessageLog log;
        QVERIFY(!createConnection());
        QCOMPARE(log.lines(QtCriticalMsg).size(), 0);
        QCOMPARE(log.lines(QtInfoMsg).size(), 1);
        // Not even a connection was set up.
        QVERIFY(!QSqlDatabase::contains(QSqlDatabase::defaultConnection));
    }

private:
    static void useTestDb()
    {
        App::DbHost = TestDb::host();
        App::DbPort = TestDb::port();
        App::DbName = TestDb::name();
        App::DbUser = TestDb::user();
        App::DbPassword = TestDb::password();
        App::DbOnline = false;
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
