// Against the real database: query helpers, connection and the sending side's server texts.
#include "dbsupport.h"
#include "sending/core/servertexts.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <memory>

namespace {

// Every log line of the running case after its kind (D, W, C, F or I), to count exactly what is written.
QStringList g_log;
QtMessageHandler g_previousHandler = nullptr;

// The default connection is process-wide: every case starts with its own.
void dropConnection()
{
    App::DbOnline = false;
    QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

    const QString m_tag = QStringLiteral("dbt%1-").arg(QCoreApplication::applicationPid());
    QString user() const { return m_tag + "user"; } // the helpers' row
    // Inserts its text name, then ends its own session: the server ran the call when the session goes.
    QString losingProcedure() const { return QStringLiteral("dbt%1_lose").arg(QCoreApplication::applicationPid()); }
    std::unique_ptr<TestDir> m_dir;

private slots:
    void initTestCase()
    {
        if (!dbt::connect())
            QSKIP("no test database");
        QVERIFY(myHelper::exec("INSERT INTO kelm_user (u_truename, u_email, u_jilu, u_totalsj, u_title) "
                               "VALUES (?, NULL, ?, ?, ?)",
                               {user(), 1234, 12.5, QStringLiteral("打字高手")}));
    }

    void cleanupTestCase()
    {
        if (dbt::connect()) {
            dbt::removeTagged(m_tag);
            myHelper::exec("DROP PROCEDURE IF EXISTS " + losingProcedure());
        }
        dropConnection();
    }

    void init()
    {
        g_previousHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            g_log << QLatin1Char("DWCFI"[type]) + (QLatin1Char(' ') + text);
        });
        m_dir = std::make_unique<TestDir>();
        QVERIFY(dbt::connect());
        g_log.clear();
    }

    void cleanup()
    {
        qInstallMessageHandler(g_previousHandler);
        setConnectionClock({});
        dropConnection();
    }

    void opensDefaultConnectionAgain()
    {
        // A second call takes the registered connection instead of replacing it with a warning.
        QVERIFY(createConnection());
        QVERIFY(QSqlDatabase::database().isOpen());
        QCOMPARE(QSqlDatabase::connectionNames(), QStringList{QSqlDatabase::defaultConnection});
        QCOMPARE(g_log.size(), 0);
    }

    void boundTextRoundTrips_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addRow("punctuation, outside the basic plane")
            << QStringLiteral("“你好”，世界！……——《书名》\n第二行\t制表 𠀀𪚥古字 and 😀");
        QTest::addRow("quotes and backslashes") << QStringLiteral("it's \"hi\" C:\\text\\n\\\\end\\");
        QTest::addRow("injection") << QStringLiteral("'; drop table kelm_user; --");
        QTest::addRow("escaped injection") << QStringLiteral("\\'; DELETE FROM kelm_text; -- ");
        QTest::addRow("placeholder and wildcards") << QStringLiteral("a ? b %_ `x`");
    }

    void boundTextRoundTrips()
    {
        QFETCH(QString, text);
        const QString name = m_tag + "t-" + QTest::currentDataTag();
        QVERIFY(myHelper::exec("INSERT INTO kelm_text (a_name, a_content) VALUES (?, ?)", {name, text}));
        // Stored as real UTF-8 on the server, not bytes that merely come back the way they went in.
        QCOMPARE(myHelper::getOne("SELECT CONCAT_WS('|', a_content, HEX(a_content), CHAR_LENGTH(a_content)) "
                                  "FROM kelm_text WHERE a_name = ?",
                                  {name}),
                 QStringList({text, text.toUtf8().toHex().toUpper(), QString::number(text.toUcs4().size())}).join('|'));
        QCOMPARE(myHelper::getOne("SELECT a_name FROM kelm_text WHERE a_content = ? AND a_name LIKE ?",
                                  {text, m_tag + "t-%"}),
                 name);
        // Nothing the value said was run.
        QCOMPARE(myHelper::getOne("SELECT u_jilu FROM kelm_user WHERE u_truename = ?", {user()}),
                 QStringLiteral("1234"));
    }

    // The first column of the first row; a failing statement gives nothing, logged once per call, and
    // leaves the connection usable.
    void getOne_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("fails");
        const QString byUser = QStringLiteral(" FROM kelm_user WHERE u_truename = ?");
        const QVariantList none, mine{user()};
        // clang-format off
        QTest::addRow("NULL column") << "SELECT u_email" + byUser << mine << "" << false;
        QTest::addRow("no row") << "SELECT u_jilu" + byUser << QVariantList{m_tag + "nobody"} << "" << false;
        QTest::addRow("double column") << "SELECT u_totalsj" + byUser << mine << "12.5" << false;
        QTest::addRow("beyond a double") << "SELECT 9007199254740993" << none << "9007199254740993" << false;
        QTest::addRow("first row only") << "SELECT 'a' UNION ALL SELECT 'b' ORDER BY 1" << none << "a" << false;
        QTest::addRow("syntax error") << "SELEC u_jilu FROM kelm_user" << none << "" << true;
        QTest::addRow("value missing") << "SELECT ? + ?" << QVariantList{1} << "" << true;
        // Fails only when run, not when prepared.
        QTest::addRow("duplicate key") << "INSERT INTO kelm_user (u_truename) VALUES (?)" << mine << "" << true;
        // clang-format on
    }

    void getOne()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        QFETCH(bool, fails);
        QTEST(values.isEmpty() ? myHelper::getOne(sql) : myHelper::getOne(sql, values), "expected");
        QCOMPARE(myHelper::exec(sql, values), !fails);
        QCOMPARE(g_log.size(), fails ? 2 : 0);
        QCOMPARE(g_log.filter(QRegularExpression("^D myHelper QSqlError\\(")), g_log);
        QCOMPARE(myHelper::getOne("SELECT 1"), QStringLiteral("1"));
    }

    void offlineSendsNothing()
    {
        // With an open connection but offline: not one statement reaches the server.
        const QString prepares = QStringLiteral("SELECT VARIABLE_VALUE FROM information_schema.SESSION_STATUS "
                                                "WHERE VARIABLE_NAME = 'COM_STMT_PREPARE'");
        const qlonglong before = myHelper::getOne(prepares).toLongLong();
        QVERIFY(before > 0);
        App::DbOnline = false;
        const QString name = m_tag + "offline";
        QCOMPARE(myHelper::getOne("INSERT INTO kelm_text (a_name) VALUES ('" + name + "')"), QString());
        QVERIFY(!myHelper::exec("INSERT INTO kelm_text (a_name) VALUES (?)", {name}));
        QSqlQuery query;
        QVERIFY(!myHelper::run(query, "INSERT INTO kelm_text (a_name) VALUES (?)", {name}));
        QCOMPARE(g_log.size(), 0);
        App::DbOnline = true;
        // Only the counter query itself was prepared in between.
        QCOMPARE(myHelper::getOne(prepares).toLongLong(), before + 1);
        QCOMPARE(myHelper::getOne("SELECT COUNT(*) FROM kelm_text WHERE a_name = ?", {name}), QStringLiteral("0"));
    }

    // A session the server ended is opened again before the next statement is sent, with its
    // settings: a text outside the basic plane is stored whole through the new session.
    void statementAfterLostSessionReopens()
    {
        const QString killed = myHelper::getOne("SELECT CONNECTION_ID()");
        QVERIFY(dbt::killSession(killed));
        const QString name = m_tag + "重连", text = QStringLiteral("重新连接后 😀𠀀");
        QVERIFY(myHelper::exec("INSERT INTO kelm_text (a_name, a_content) VALUES (?, ?)", {name, text}));
        QCOMPARE(
            myHelper::getOne("SELECT CONCAT_WS('|', a_content, HEX(a_content), CONNECTION_ID() <> ?, "
                             "@@max_allowed_packet) FROM kelm_text WHERE a_name = ?",
                             {killed, name}),
            QStringList({text, text.toUtf8().toHex().toUpper(), "1", QString::number(App::DbPacketLimit)}).join('|'));
    }

    // A statement whose session ended after the server ran it is not sent again; the next one runs
    // on a new session.
    void statementLostMidwayNotResent()
    {
        QSqlQuery create;
        QVERIFY2(create.exec("CREATE PROCEDURE " + losingProcedure() +
                             "(IN n VARCHAR(100)) BEGIN INSERT INTO kelm_text (a_name) VALUES (n); "
                             "KILL CONNECTION CONNECTION_ID(); END"),
                 qPrintable(create.lastError().text()));
        const QString name = m_tag + "中途";
        QVERIFY(!myHelper::exec("CALL " + losingProcedure() + "(?)", {name}));
        QCOMPARE(myHelper::getOne("SELECT COUNT(*) FROM kelm_text WHERE a_name = ?", {name}), QStringLiteral("1"));
    }

    // While the server stays away, statements fail and a new session is tried at most once per
    // pause; once the server is back, the next try opens it.
    void reopeningPacedWhileServerAway()
    {
        qint64 clock = 1000000;
        setConnectionClock([&clock] { return clock; });
        QVERIFY(dbt::killSession(myHelper::getOne("SELECT CONNECTION_ID()")));
        dbt::AwayServer away;
        const int serverPort = App::DbPort;
        App::DbPort = away.port();
        QCOMPARE(myHelper::getOne("SELECT 1"), QString());
        QTRY_COMPARE(away.connections(), 1);
        clock += kReopenPauseMs - 1;
        QVERIFY(!myHelper::exec("SELECT 1"));
        QCOMPARE(away.connections(), 1);
        clock += 1;
        QCOMPARE(myHelper::getOne("SELECT 1"), QString());
        QTRY_COMPARE(away.connections(), 2);
        App::DbPort = serverPort;
        clock += kReopenPauseMs - 1;
        QCOMPARE(myHelper::getOne("SELECT 1"), QString());
        clock += 1;
        QCOMPARE(myHelper::getOne("SELECT 1"), QStringLiteral("1"));
        QCOMPARE(away.connections(), 2);
    }

    // A statement the server does not answer within the read limit fails, and the same action tries
    // no new session: the next statement fails unsent. The server is tried again after the pause.
    void silentServerLeftToThePause_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::addRow("slow statement") << false; // its answer would come after the read limit
        QTest::addRow("network cut") << true;     // not even the statement's preparing is answered
    }
    void silentServerLeftToThePause()
    {
        QFETCH(bool, cut);
        qint64 clock = 1000000;
        setConnectionClock([&clock] { return clock; });
        dbt::Link link;
        App::DbPort = link.port();
        QVERIFY(createConnection());
        if (cut)
            link.cut();
        QCOMPARE(myHelper::getOne(cut ? "SELECT 1" : "SELECT SLEEP(8)"), QString());
        QVERIFY(!myHelper::exec("SELECT 1"));
        QCOMPARE(link.connections(), 1);
        App::DbPort = TestDb::port();
        clock += kReopenPauseMs;
        QCOMPARE(myHelper::getOne("SELECT 1"), QStringLiteral("1"));
    }

    void md5()
    {
        QCOMPARE(myHelper::getMd5(QStringLiteral("abc")), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
        QCOMPARE(myHelper::getMd5(QStringLiteral("跟打器𠀀")), QStringLiteral("68f749a3e7f4a5a1f1b0ddeaf9753cc3"));
    }

    void unreachableServerFails_data()
    {
        QTest::addColumn<QString>("reason"); // the system's, where the driver's text lacks it
        QTest::addRow("closed port") << " (Connection refused)";
        // Accepts the connection but never greets: only the connect timeout ends the wait.
        QTest::addRow("silent server") << "";
        QTest::addRow("wrong password") << "";
    }

    void unreachableServerFails()
    {
        const QByteArray kind = QTest::currentDataTag();
        dropConnection(); // the test database's values stay, its password made wrong
        App::DbPassword += "-wrong";
        QTcpServer server;
        if (kind != "wrong password") {
            QVERIFY(server.listen(QHostAddress::LocalHost, 0));
            App::DbHost = QStringLiteral("127.0.0.1");
            App::DbPort = server.serverPort();
        }
        if (kind == "closed port")
            server.close();
        QVERIFY(!createConnection());
        const QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
        QFETCH(QString, reason);
        QCOMPARE(g_log, QStringList{"C Can't open database: " + db.lastError().text() + reason});
        QVERIFY(!db.isOpen());
    }

    void emptyHostIsOffline()
    {
        dropConnection();
        App::DbHost.clear();
        QVERIFY(!createConnection());
        QCOMPARE(g_log.size(), 1);
        QVERIFY(g_log.first().startsWith("I "));
        QVERIFY(!QSqlDatabase::contains(QSqlDatabase::defaultConnection));
    }

    // The sending side's server texts: checks in order, names taken literally, the record holder.
    void uploadChecksInOrder()
    {
        const QString text = QStringLiteral("内容 '%2' \"引号\"");
        UploadRequest r{false, {}, m_tag + "it's 100%1", {}, QStringLiteral("标题"), QStringLiteral("1.2.3.4")};
        r.now = 1700000000;
        QCOMPARE(uploadText(r).message, QStringLiteral("网络连接失败！"));
        r.online = true;
        QCOMPARE(uploadText(r).message, QStringLiteral("上传文本需要登录帐号！"));
        r.userName = m_tag + QStringLiteral("用户");
        QCOMPARE(uploadText(r).message, QStringLiteral("上传文本不能为空！"));
        r.text = text;
        const UploadOutcome done = uploadText(r);
        QVERIFY(done.uploaded);
        QCOMPARE(done.message, QStringLiteral("上传成功！"));
        r.text.clear();
        QCOMPARE(uploadText(r).message, QStringLiteral("文本名已存在！")); // before the empty-text check

        QCOMPARE(myHelper::getOne("select concat_ws('|', a_content, a_time, a_from, a_ip, a_username, a_gdnum) "
                                  "from kelm_text where a_name=?",
                                  {r.name}),
                 QStringList({text, "1700000000", "标题", "1.2.3.4", r.userName, "0"}).join('|'));
        QVERIFY(serverTextNames().contains(r.name));
        QCOMPARE(serverText(r.name), text);
        QCOMPARE(serverText(m_tag + QStringLiteral("it's 100%")), QString());
    }

    // A text beyond the server's packet limit (in UTF-8 bytes) is refused unsent: the session stays.
    void oversizedUploadRefused()
    {
        const QString session = myHelper::getOne("SELECT CONNECTION_ID()");
        const int limit = myHelper::getOne("SELECT @@max_allowed_packet").toInt();
        UploadRequest r{true, user(), m_tag + "过长", QString(limit / 3 + 1, QChar(0x5B57)), "v", "1.2.3.4"};
        QCOMPARE(uploadText(r).message, QStringLiteral("上传失败！"));
        r.name = m_tag + "正常";
        r.text = QString(9000, QChar(0x5B57));
        QVERIFY(uploadText(r).uploaded);
        QCOMPARE(myHelper::getOne("SELECT CONCAT(CONNECTION_ID(), ' ', GROUP_CONCAT(a_name)) FROM kelm_text "
                                  "WHERE a_name IN (?, ?)",
                                  {m_tag + "过长", r.name}),
                 session + ' ' + r.name);
    }

    // An unknown public address (its look-up failed) is stored as the empty text, as the ranking
    // upload stores it.
    void unknownAddressStoredEmpty()
    {
        const QString name = m_tag + QStringLiteral("无地址");
        QVERIFY(uploadText({true, user(), name, QStringLiteral("内容"), QStringLiteral("v"), QString()}).uploaded);
        QCOMPARE(myHelper::getOne("select concat('[', a_ip, ']') from kelm_text where a_name=?", {name}), "[]");
    }

    void recordHolderFromSeededRows()
    {
        const QString name = m_tag + QStringLiteral("纪录");
        const QString fast = m_tag + QStringLiteral("快手");
        QVERIFY(myHelper::exec("insert into kelm_user (u_truename, u_title) values (?, ?), (?, ?)",
                               {fast, QStringLiteral("<b>宗师</b>"), m_tag + "慢手", QStringLiteral("新手")}));
        QVERIFY(myHelper::exec("insert into kelm_rank (r_text, r_username, r_sd, r_zs) values (?, ?, ?, ?), "
                               "(?, ?, ?, ?), (?, ?, ?, ?)",
                               {name, fast, 180.5, 300, name, m_tag + "慢手", 120, 300, name, fast, 400, 299}));
        RecordHolder holder = recordHolder(name, 300);
        QVERIFY(holder.queried);
        QCOMPARE(holder.notice, QStringLiteral("该文本速度保持者为：【<b>宗师</b>】%1 速度为：180.5").arg(fast));
        holder = recordHolder(name, 301);
        QVERIFY(holder.queried);
        QVERIFY(holder.notice.isEmpty());
    }
};

QTEST_MAIN(TestDatabase)
#include "test_database.moc"
