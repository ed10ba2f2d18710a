// Against the real database: query helpers, connection, the sending side's server texts, and the
// account (login, remembered login, remote record, ranking upload, login window, account part).
#include "account/accountpart.h"
#include "account/core/login.h"
#include "account/frmlogin.h"
#include "dbsupport.h"
#include "sending/core/servertexts.h"
#include "typing/coresettings.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QLineEdit>
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

public slots:
    void openUrl(const QUrl& url) { m_titles << url.toString(); }

private:
    const QString m_tag = QStringLiteral("dbt%1-").arg(QCoreApplication::applicationPid());
    QString user() const { return m_tag + "user"; } // the helpers' row
    std::unique_ptr<TestDir> m_dir;
    QStringList m_titles; // the account part's title messages and opened pages, in order
    int m_reads = 0;
    static QString digest(const QString& pw) { return myHelper::getMd5(pw); }
    // This run's rows of both tables as one checksum: hostile values must leave them all alone.
    QString othersChecksum() const
    {
        return myHelper::getOne("select concat((select sum(crc32(concat_ws(',',u_truename,u_password,u_jilu,"
                                "u_gdtime))) from kelm_user where u_truename like ?),'/',(select sum(crc32("
                                "concat_ws(',',r_text,r_sd,r_sj))) from kelm_rank where r_username like ? and "
                                "r_username not like ?))",
                                {m_tag + "%", m_tag + "%", m_tag + "h%"});
    }
    AccountPart::Host host()
    {
        return {[this](const QString& text, int) { m_titles << text; }, [] {}, [this] { ++m_reads; }};
    }
    // One data row; a text literal goes in as a QString.
    template <typename... V> static void row(const char* tag, V... values)
    {
        (QTest::addRow("%s", tag) << ... << values);
    }
    static void click(QWidget* window, const char* key)
    {
        QTest::mouseClick(window->findChild<QPushButton*>(key), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        App::initResources();
        QDesktopServices::setUrlHandler("http", this, "openUrl");
        if (!dbt::connect())
            QSKIP("no test database");
        const QString t = m_tag, mail = "@" + m_tag + "example.com";
        QVERIFY(myHelper::exec("insert into kelm_user (u_truename,u_email,u_password,u_regtime) values (?,?,?,1000),"
                               "(?,?,?,1000),(?,?,?,1000),(?,?,?,1000),(?,?,?,1000)",
                               {t + "zhang", "zhang.san" + mail, digest("secret"), t + "upper", "",
                                digest("secret").toUpper(), t + "dup1", "dup" + mail, digest("a"), t + "dup2",
                                "dup" + mail, digest("b"), t + "x' or '1'='1", "", digest("p")}));
        QVERIFY(myHelper::exec("INSERT INTO kelm_user (u_truename, u_email, u_jilu, u_totalsj, u_title) "
                               "VALUES (?, NULL, ?, ?, ?)",
                               {user(), 1234, 12.5, QStringLiteral("打字高手")}));
    }

    void cleanupTestCase()
    {
        if (dbt::connect()) {
            myHelper::exec("DELETE FROM kelm_text WHERE a_name LIKE ?", {m_tag + "%"});
            myHelper::exec("DELETE FROM kelm_user WHERE u_truename LIKE ?", {m_tag + "%"});
            myHelper::exec("DELETE FROM kelm_rank WHERE r_username LIKE ? OR r_text LIKE ?",
                           {m_tag + "%", m_tag + "%"});
        }
        dropConnection();
    }

    void init()
    {
        g_previousHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            g_log << QLatin1Char("DWCFI"[type]) + (QLatin1Char(' ') + text);
        });
        m_dir = std::make_unique<TestDir>();
        ts::resetWindowGlobals();
        App::CurrentUserName.clear();
        App::CurrentUserPwd.clear();
        App::LoginMenuText = "登陆";
        m_titles.clear();
        m_reads = 0;
        QVERIFY(dbt::connect());
        g_log.clear();
    }

    void cleanup()
    {
        qInstallMessageHandler(g_previousHandler);
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

    // An unknown public address (its look-up failed) is stored as the empty text by both uploads.
    void unknownAddressStoredEmpty()
    {
        const QString name = m_tag + QStringLiteral("无地址");
        const UploadRequest request{true,     m_tag + "zhang", name, QStringLiteral("内容"), QStringLiteral("v"),
                                    QString()};
        QVERIFY(uploadText(request).uploaded);
        const RankUpload::Run run{"60", {}, 0, name, true, true};
        const RankUpload::Context context{true, m_tag + "zhang", true, 1, "v", QString()};
        QCOMPARE(RankUpload::tryUpload(run, context, true).text, QStringLiteral("成绩上传成功！"));
        QCOMPARE(myHelper::getOne("select concat('[', a_ip, '][', (select r_ip from kelm_rank where r_text=?), ']') "
                                  "from kelm_text where a_name=?",
                                  {name, name}),
                 QStringLiteral("[][]"));
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

    void check_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QString>("name");
        const QString t = m_tag;
        row("by name", t + "zhang", "secret", true, t + "zhang");
        row("by e-mail", "zhang.san@" + t + "example.com", "secret", true, t + "zhang");
        row("wrong password", t + "zhang", "Secret", false, t + "zhang");
        row("upper-case digest", t + "upper", "secret", false, t + "upper");
        row("duplicate e-mail: last row", "dup@" + t + "example.com", "b", true, t + "dup2");
        row("unknown e-mail", "no@" + t + "example.com", "a", false, "no@" + t + "example.com");
        row("leading @: a name", "@" + t + "example.com", "a", false, "@" + t + "example.com");
        row("quote name literal", t + "x' or '1'='1", "p", true, t + "x' or '1'='1");
    }
    void check()
    {
        QFETCH(QString, account);
        QFETCH(QString, password);
        const AccountLogin::Result result = AccountLogin::check(account, password);
        QTEST(result.passed, "passed");
        QTEST(result.name, "name");
    }

    void merge_data()
    {
        QTest::addColumn<bool>("localToday");
        QTest::addColumn<QString>("remoteDay");
        QTest::addColumn<QString>("today"); // the day's count and the date for the day check
        // Local: 5 today, 100 in all; remote: 7 today, 90 in all (a stale server row).
        row("both today", true, "2026-12-07", "7 2026-12-07");
        row("server yesterday", true, "2026-12-06", "5 2026-12-07");
        row("local yesterday", false, "2026-12-07", "7 2026-12-07");
        row("both old: new day", false, "2026-12-01", "0 2026-12-01");
    }
    void merge()
    {
        QFETCH(bool, localToday);
        QFETCH(QString, remoteDay);
        const RemoteRecord::Row row{true, {7, 90, 400, 120.5, 300}, remoteDay, "1000"};
        const auto merged = RemoteRecord::merge({5, 100, 500, 60.0, 200}, localToday, row, QDate(2026, 12, 7));
        QTEST(QString::number(merged.totals.today) + ' ' + merged.gdTime, "today");
        const auto& m = merged.totals;
        QCOMPARE(QList<double>({double(m.total), double(m.keys), m.seconds, double(m.chars)}),
                 QList<double>({100, 500, 120.5, 300}));
    }

    void syncFreshUser()
    {
        // No averages yet, no record day: 0.00 and one day; seconds past a million stay a number.
        const RemoteRecord::Sync sync{{12, 3000, 9000, 1234567.5, 2000}, 0, "", "", "2026-12-07"};
        QVERIFY(RemoteRecord::write(sync, m_tag + "zhang"));
        const RemoteRecord::Row row = RemoteRecord::read(m_tag + "zhang");
        QCOMPARE(QStringList({QString::number(row.totals.seconds, 'f', 1), row.gdTime, row.regTime}),
                 QStringList({"1234567.5", "2026-12-07", "1000"}));
        QCOMPARE(myHelper::getOne("select concat(u_avedayjilu,' ',u_avejj,' ',u_avemc) from kelm_user "
                                  "where u_truename=?",
                                  {m_tag + "zhang"}),
                 QStringLiteral("3000 0.00 0.00"));
        // Garbage on the server does not reach the local record.
        myHelper::exec("update kelm_user set u_jilu=-5,u_totalsj=-1 where u_truename=?", {m_tag + "zhang"});
        const RemoteRecord::Row garbage = RemoteRecord::read(m_tag + "zhang");
        QCOMPARE(garbage.totals.today + garbage.totals.seconds, 0.0);
    }

    void upload_data()
    {
        QTest::addColumn<QString>("state"); // signed in, clean, finished, server text, manual: + or -
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("row"); // the entry afterwards
        const QString t = m_tag + "文", cond = "上传成绩条件：1.跟打发文中系统文本并全文发文 2.跟打成绩无错情";
        // In the order the conditions are checked: each row passes the ones before it.
        row("signed out", "----+", "剪切板", "90", "上传成绩需要登录帐号！", "");
        row("error, quiet", "+----", t, "90", "跟打结束", "");
        row("excluded title", "++--+", "错字收集", "90", cond, "");
        row("not finished", "++--+", t, "90", "跟打结束后才能上传成绩！", "");
        row("local text", "+++-+", t, "90", "跟打本地文本不能上传成绩！", "");
        // Each offered upload counts once on the text (from 4).
        row("first", "+++++", t, "90", "成绩上传成功！", "1 90 1'02\"35 98.5% 5");
        row("equal", "+++++", t, "90.00", "不要灰心，继续加油！", "1 90 1'02\"35 98.5% 6");
        row("faster", "+++++", t, "95.5", "恭喜您，成绩更进一步！", "1 95.5 1'02\"35 98.5% 7");
    }
    void upload()
    {
        QFETCH(QString, state);
        QFETCH(QString, title);
        QFETCH(QString, speed);
        const QStringList cells{speed, "5.1", "2.3",   "100", "1'02\"35", "1",   "0", "0",
                                "230", "0",   "98.5%", "50%", "0",        "40%", "0"};
        const RankUpload::Run run{speed, cells, state[1] == '+' ? 0 : 1, title, state[2] == '+', true};
        const RankUpload::Context context{state[0] == '+', m_tag + "zhang", state[3] == '+', 1700000000, "v", "ip"};
        if (QTest::currentDataTag() == QLatin1String("first"))
            QVERIFY(myHelper::exec("insert into kelm_text (a_name,a_gdnum) values (?,?)", {title, 4}));
        QTEST(RankUpload::tryUpload(run, context, state[4] == '+').text, "message");
        if (state == "+++++")
            QTEST(myHelper::getOne("select concat(count(*),' ',max(r_sd),' ',max(r_sj),' ',max(r_jz),' ',(select "
                                   "a_gdnum from kelm_text where a_name=?)) from kelm_rank where r_text=?",
                                   {title, title}),
                  "row");
    }

    void hostileValues_data()
    {
        QTest::addColumn<QString>("value");
        row("quote or", "h' or '1'='1");
        row("statement end", "h'; delete from kelm_user; --");
        row("backslash quote", "h\\'; update kelm_rank set r_sd=0; #");
    }
    void hostileValues()
    {
        QFETCH(QString, value);
        const QString before = othersChecksum();
        RemoteRecord::write({}, value);
        RankUpload::Run run{"60", {}, 0, m_tag + value, true, true};
        RankUpload::Context context{true, m_tag + value, true, 1, value, value};
        QCOMPARE(RankUpload::tryUpload(run, context, true).text, QStringLiteral("成绩上传成功！"));
        QCOMPARE(myHelper::getOne("select concat(r_text,r_from) from kelm_rank where r_username=?", {m_tag + value}),
                 m_tag + value + value);
        QCOMPARE(othersChecksum(), before);
    }

    void keyboard()
    {
        frmLogin w;
        w.show();
        auto* account = w.findChild<QLineEdit*>("lineEdit");
        auto* password = w.findChild<QLineEdit*>("txtUserPwd");
        auto* keys = w.findChild<QGroupBox*>("gboxSoftKey");
        QCOMPARE(w.size(), QSize(431, 211));
        click(&w, "btnKey");
        QVERIFY(w.size() == QSize(431, 293) && keys->isVisible() && w.focusWidget() == account);
        QTest::keyClicks(account, "ab");
        for (const char* key : {"btnK", "btn7", "btnCaps", "btnQ", "btn0", "btnCaps", "btnM"})
            click(&w, key);
        QCOMPARE(account->text() + "|" + password->text(), QStringLiteral("ab|k7Q0m"));
        password->setSelection(0, 2);
        click(&w, "btnDelete"); // the last character, not the selection
        click(&w, "btnA");
        QCOMPARE(password->text() + QString::number(password->cursorPosition()), QStringLiteral("k7Q0a5"));
        click(&w, "btnCaps");
        click(&w, "btnKey");
        QVERIFY(w.size() == QSize(431, 211) && !keys->isVisible());
        QCOMPARE(w.findChild<QPushButton*>("btnCaps")->text() + w.findChild<QPushButton*>("btnZ")->text(), "小Z");
        password->clear();
        click(&w, "btnDelete");
        // Refused before anything is sent: an empty field, then no database.
        App::DbOnline = false;
        for (const char* message : {"用户名或密码不能为空,请重新输入!",
                                    "1.请确保网络连接正常 2.若网络正常，请<a href=\"\">点击</a>下载最新版本"}) {
            ts::BoxAnswerer box(true);
            click(&w, "btnLogin");
            QCOMPARE(box.text, QString::fromUtf8(message));
            click(&w, "btnK");
        }
        QVERIFY(w.isVisible() && !ts::storedRecord("CurrentUserName").isValid());
    }

    // Signing in by e-mail address through the menu, the password typed on the on-screen keyboard.
    void signInAndOut()
    {
        AccountPart part(host());
        part.loginSlot();
        QPointer<frmLogin> w = part.loginWindow();
        QTest::keyClicks(w->findChild<QLineEdit*>("lineEdit"), "zhang.san@" + m_tag + "example.com");
        for (const char* key : {"btnKey", "btnS", "btnE", "btnC", "btnR", "btnE", "btnT", "btnLogin"})
            click(w, key);
        QTRY_VERIFY(!w);
        QVERIFY(part.signedIn() && m_reads == 1);
        QCOMPARE(App::LoginMenuText + App::RegisterMenuText + ts::storedRecord("CurrentUserPwd").toString(),
                 "欢迎您，" + m_tag + "zhang" + "退出" + digest("secret"));
        part.loginSlot(); // the greeting opens nothing
        QVERIFY(!part.loginWindow());
        App::WebUrl = "http://127.0.0.1:9";
        part.regSlot();
        part.regSlot();
        part.rankSlot();
        QCOMPARE(m_titles, QStringList({"登陆成功！", "退出成功！", App::WebUrl + "/index.php/Home/Cloud/index",
                                        App::WebUrl + "/index.php/Home/Rank/result"}));
        QCOMPARE(ts::storedRecord("CurrentUserName").toString() + App::LoginMenuText, "登陆");
    }

    void rememberedAtStart_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("online"); // 2: the server went away after start-up
        QTest::addColumn<bool>("signedIn");
        row("digest", digest("secret"), 1, true);
        row("legacy plain password", "secret", 1, true);
        row("changed on the server", myHelper::getMd5("old"), 1, false);
        row("offline", "secret", 0, false);
        row("server gone", digest("secret"), 2, false);
    }
    void rememberedAtStart()
    {
        QFETCH(QString, stored);
        QFETCH(int, online);
        myHelper::exec("update kelm_user set u_totaljilu=0 where u_truename=?", {m_tag + "zhang"});
        App::DbOnline = online > 0;
        if (online == 2)
            QSqlDatabase::database().close();
        App::CurrentUserName = m_tag + "zhang";
        App::CurrentUserPwd = stored;
        App::Jilu = 777;
        App::writeStats();
        AccountPart part(host());
        part.checkRememberedLogin();
        part.jltoSql(TypingRecord(CoreSettings::recordStore()));
        QTEST(part.signedIn(), "signedIn");
        // Remembered either way, never as the plain password; synced only when signed in.
        QCOMPARE(ts::storedRecord("CurrentUserName").toString(), m_tag + "zhang");
        QCOMPARE(ts::storedRecord("CurrentUserPwd").toString(),
                 stored.size() == 32 ? stored : myHelper::getMd5(stored));
        QVERIFY(dbt::connect());
        QCOMPARE(myHelper::getOne("select u_totaljilu from kelm_user where u_truename=?", {m_tag + "zhang"}),
                 part.signedIn() ? "777" : "0");
    }

    // Through the real window: the remembered login signs in as it opens, an empty version table
    // shows no update notice, and a built-in drill typed whole leaves its ranking row.
    void throughTheWindow()
    {
        ts::MainWindowFixture f;
        QVERIFY(dbt::connect());
        App::CurrentUserName = m_tag + "zhang";
        App::CurrentUserPwd = digest("secret");
        f.open();
        QVERIFY(f.action({"欢迎您，" + m_tag + "zhang"}) && f.title() == "Tavrel跟打器");
        f.action({"发文", "常用单字前五百"})->trigger();
        f.commit(f.reference()->toPlainText());
        QVERIFY(!f.waitLine().isEmpty());
        QTRY_COMPARE(myHelper::getOne("select count(*) from kelm_rank where r_username=? and r_text=?",
                                      {m_tag + "zhang", "常用单字前五百"}),
                     "1");
    }
};

QTEST_MAIN(TestDatabase)
#include "test_database.moc"
