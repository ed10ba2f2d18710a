// The account logic against the real database: login check, remembered login, remote record,
// ranking upload and the version title.
#include "account/core/login.h"
#include "account/core/rankupload.h"
#include "account/core/remoterecord.h"
#include "app/core/app.h"
#include "app/core/connection.h"
#include "app/core/myhelper.h"
#include "testsupport.h"

#include <QSqlDatabase>

using namespace AccountLogin;

class TestAccount : public QObject
{
    Q_OBJECT

    // Rows of this run carry the tag, so parallel tests on the same database never collide.
    const QString m_tag = QStringLiteral("acc%1-").arg(QCoreApplication::applicationPid());
    QString digest(const QString& pw) const { return myHelper::getMd5(pw); }
    bool connect()
    {
        App::DbHost = TestDb::host();
        App::DbPort = TestDb::port();
        App::DbName = TestDb::name();
        App::DbUser = TestDb::user();
        App::DbPassword = TestDb::password();
        App::DbOnline = createConnection();
        return App::DbOnline;
    }
    void addUser(const QString& name, const QString& email, const QString& pwDigest)
    {
        QVERIFY(myHelper::exec("insert into kelm_user (u_truename,u_email,u_password,u_regtime) values (?,?,?,?)",
                               {m_tag + name, email, pwDigest, 1000}));
    }
    // This run's rows of both tables as one checksum: hostile values must leave them all alone.
    QString othersChecksum() const
    {
        return myHelper::getOne("select concat((select sum(crc32(concat_ws(',',u_truename,u_password,u_jilu,"
                                "u_gdtime))) from kelm_user where u_truename like ?),'/',(select sum(crc32("
                                "concat_ws(',',r_text,r_sd,r_sj))) from kelm_rank where r_username like ? and "
                                "r_username not like ?))",
                                {m_tag + "%", m_tag + "%", m_tag + "h%"});
    }

private slots:
    void initTestCase()
    {
        if (!TestDb::available())
            QSKIP("no test database");
        QVERIFY(connect());
        addUser("zhang", "zhang.san@" + m_tag + "example.com", digest("secret"));
        addUser("upper", "", digest("secret").toUpper());
        addUser("dup1", "dup@" + m_tag + "example.com", digest("a"));
        addUser("dup2", "dup@" + m_tag + "example.com", digest("b"));
        addUser("x' or '1'='1", "", digest("p"));
    }
    void cleanupTestCase()
    {
        if (connect()) {
            myHelper::exec("delete from kelm_user where u_truename like ?", {m_tag + "%"});
            myHelper::exec("delete from kelm_rank where r_username like ?", {m_tag + "%"});
            myHelper::exec("delete from kelm_text where a_name like ?", {m_tag + "%"});
        }
    }
    void init() { QVERIFY(connect()); }

    void check_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QString>("name");
        const QString t = m_tag;
        QTest::addRow("by name") << t + "zhang" << "secret" << true << t + "zhang";
        QTest::addRow("by e-mail") << "zhang.san@" + t + "example.com" << "secret" << true << t + "zhang";
        QTest::addRow("wrong password") << t + "zhang" << "Secret" << false << t + "zhang";
        QTest::addRow("leading blank kept") << " " + t + "zhang" << "secret" << false << " " + t + "zhang";
        QTest::addRow("upper-case digest") << t + "upper" << "secret" << false << t + "upper";
        QTest::addRow("duplicate e-mail: last row") << "dup@" + t + "example.com" << "b" << true << t + "dup2";
        QTest::addRow("unknown e-mail") << "no@" + t + "example.com" << "a" << false << "no@" + t + "example.com";
        QTest::addRow("quote name literal") << t + "x' or '1'='1" << "p" << true << t + "x' or '1'='1";
        QTest::addRow("injection fails") << "x' or '1'='1" << "p" << false << "x' or '1'='1";
    }
    void check()
    {
        QFETCH(QString, account);
        QFETCH(QString, password);
        const Result result = AccountLogin::check(account, password);
        QTEST(result.passed, "passed");
        QTEST(result.name, "name");
    }

    void remembered()
    {
        QVERIFY(!isEmailAddress("@b.c") && !isEmailAddress("a@b") && isEmailAddress("a.b@c.d"));
        QCOMPARE(rememberedDigest("secret"), digest("secret"));
        QCOMPARE(rememberedDigest(digest("x")), digest("x"));
        QCOMPARE(rememberedDigest(digest("x").toUpper()), digest(digest("x").toUpper()));
        QCOMPARE(checkRemembered(m_tag + "zhang", digest("secret")), Remembered::SignedIn);
        QCOMPARE(checkRemembered(m_tag + "zhang", digest("old")), Remembered::Rejected);
        QCOMPARE(checkRemembered(m_tag + "nobody", digest("secret")), Remembered::Rejected);
        QCOMPARE(checkRemembered(QString(), QString()), Remembered::Unchecked);
        App::DbOnline = false;
        QCOMPARE(checkRemembered(m_tag + "zhang", digest("secret")), Remembered::Unchecked);
        // A server that went away mid-session: unknown, not rejected.
        App::DbOnline = true;
        QSqlDatabase::database().close();
        QCOMPARE(checkRemembered(m_tag + "zhang", digest("secret")), Remembered::Unchecked);
        QCOMPARE(RemoteRecord::read(m_tag + "zhang").found, false);
    }

    void merge_data()
    {
        QTest::addColumn<bool>("localToday");
        QTest::addColumn<QString>("remoteDay");
        QTest::addColumn<int>("today");
        QTest::addColumn<QString>("gdTime");
        // Local: 5 today, 100 in all; remote: 7 today, 90 in all (a stale server row).
        QTest::addRow("both today") << true << "2026-12-07" << 7 << "2026-12-07";
        QTest::addRow("server yesterday") << true << "2026-12-06" << 5 << "2026-12-07";
        QTest::addRow("local yesterday") << false << "2026-12-07" << 7 << "2026-12-07";
        QTest::addRow("both old: new day") << false << "2026-12-01" << 0 << "2026-12-01";
    }
    void merge()
    {
        QFETCH(bool, localToday);
        QFETCH(QString, remoteDay);
        const RemoteRecord::Row row{true, {7, 90, 400, 120.5, 300}, remoteDay, "1000"};
        const auto merged = RemoteRecord::merge({5, 100, 500, 60.0, 200}, localToday, row, QDate(2026, 12, 7));
        QTEST(merged.totals.today, "today");
        QTEST(merged.gdTime, "gdTime");
        const auto& m = merged.totals;
        QCOMPARE(QList<double>({double(m.total), double(m.keys), m.seconds, double(m.chars)}),
                 QList<double>({100, 500, 120.5, 300}));
    }

    void syncFreshUser()
    {
        RemoteRecord::Sync sync;
        sync.totals = {12, 3000, 9000, 1234567.5, 2000};
        sync.recordDays = 0;
        sync.date = "2026-12-07";
        QVERIFY(RemoteRecord::write(sync, m_tag + "zhang"));
        const RemoteRecord::Row row = RemoteRecord::read(m_tag + "zhang");
        QVERIFY(row.found);
        QCOMPARE(row.totals.seconds, 1234567.5);
        QCOMPARE(row.totals.total, 3000);
        QCOMPARE(row.gdTime, QStringLiteral("2026-12-07"));
        QCOMPARE(row.regTime, QStringLiteral("1000"));
        QCOMPARE(myHelper::getOne("select concat(u_avedayjilu,' ',u_avejj,' ',u_avemc) from kelm_user "
                                  "where u_truename=?", {m_tag + "zhang"}),
                 QStringLiteral("3000 0.00 0.00"));
        // Garbage on the server does not reach the local record.
        myHelper::exec("update kelm_user set u_jilu=-5,u_totalsj=-1 where u_truename=?", {m_tag + "zhang"});
        QCOMPARE(RemoteRecord::read(m_tag + "zhang").totals.today, 0);
        QCOMPARE(RemoteRecord::read(m_tag + "zhang").totals.seconds, 0.0);
    }

    void upload_data()
    {
        QTest::addColumn<QString>("state"); // signed in, clean, finished, server text: each + or -
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("row"); // the entry afterwards
        const QString t = m_tag + "文", cond = "上传成绩条件：1.跟打发文中系统文本并全文发文 2.跟打成绩无错情";
        // In the order the conditions are checked: each row passes the ones before it.
        QTest::addRow("signed out") << "----" << "剪切板" << "90" << "上传成绩需要登录帐号！" << "";
        QTest::addRow("error in run") << "+---" << t << "90" << cond << "";
        QTest::addRow("excluded title") << "++--" << "错字收集" << "90" << cond << "";
        QTest::addRow("not finished") << "++--" << t << "90" << "跟打结束后才能上传成绩！" << "";
        QTest::addRow("local text") << "+++-" << t << "90" << "跟打本地文本不能上传成绩！" << "";
        QTest::addRow("first") << "++++" << t << "90" << "成绩上传成功！" << "1 90 1'02\"35 98.5%";
        QTest::addRow("equal") << "++++" << t << "90.00" << "不要灰心，继续加油！" << "1 90 1'02\"35 98.5%";
        QTest::addRow("faster") << "++++" << t << "95.5" << "恭喜您，成绩更进一步！" << "1 95.5 1'02\"35 98.5%";
        QTest::addRow("slower") << "++++" << t << "80" << "不要灰心，继续加油！" << "1 95.5 1'02\"35 98.5%";
    }
    void upload()
    {
        QFETCH(QString, state);
        QFETCH(QString, title);
        QFETCH(QString, speed);
        const QStringList cells{speed, "5.1", "2.3", "100", "1'02\"35", "1", "0", "0", "230", "0", "98.5%", "50%",
                                "0", "40%", "0"};
        const RankUpload::Run run{speed, cells, state[1] == '+' ? 0 : 1, title, state[2] == '+', true};
        const RankUpload::Context context{state[0] == '+', m_tag + "zhang", state[3] == '+', 1700000000, "v", "ip"};
        if (QTest::currentDataTag() == QLatin1String("first"))
            QVERIFY(myHelper::exec("insert into kelm_text (a_name,a_gdnum) values (?,?)", {title, 4}));
        QTEST(RankUpload::tryUpload(run, context, true).text, "message");
        if (state == "++++")
            QTEST(myHelper::getOne("select concat(count(*),' ',max(r_sd),' ',max(r_sj),' ',max(r_jz)) "
                                   "from kelm_rank where r_text=?", {title}), "row");
    }

    void uploadCountsAndManual()
    {
        // Four uploads offered, each counted once on the text.
        QCOMPARE(myHelper::getOne("select a_gdnum from kelm_text where a_name=?", {m_tag + "文"}), QStringLiteral("8"));
        RankUpload::Run run{"1", {}, 1, m_tag + "builtin", true, false};
        QVERIFY(RankUpload::manualUpload(run, {true}, true).text.startsWith("上传成绩条件"));
        run.wholeText = true;
        QVERIFY(RankUpload::manualUpload(run, {true}, false).text.startsWith("上传成绩需要开启参与排名功能"));
        const RankUpload::Notice quiet = RankUpload::tryUpload(run, {true}, false);
        QCOMPARE(quiet.text + QString::number(quiet.ms), QStringLiteral("跟打结束-1"));
    }

    void hostileValues_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addRow("quote or") << "h' or '1'='1";
        QTest::addRow("statement end") << "h'; delete from kelm_user; --";
        QTest::addRow("backslash quote") << "h\\'; update kelm_rank set r_sd=0; #";
        QTest::addRow("wildcards") << "h%_?";
    }
    void hostileValues()
    {
        QFETCH(QString, value);
        const QString before = othersChecksum();
        QVERIFY(!AccountLogin::check(value, "p").passed);
        QVERIFY(!AccountLogin::check(value + "@x.cn", "p").passed);
        RemoteRecord::write({}, value);
        RankUpload::Run run{"60", {}, 0, m_tag + value, true, true};
        RankUpload::Context context{true, m_tag + value, true, 1, value, value};
        QCOMPARE(RankUpload::tryUpload(run, context, true).text, QStringLiteral("成绩上传成功！"));
        QCOMPARE(myHelper::getOne("select concat(r_text,r_from) from kelm_rank where r_username=?", {m_tag + value}),
                 m_tag + value + value);
        QCOMPARE(othersChecksum(), before);
    }

    void versionTitle()
    {
        QCOMPARE(latestVersionTitle(QString(), App::AppTitle), App::AppTitle);
        QCOMPARE(latestVersionTitle("v2.0", App::AppTitle), QStringLiteral("Tavrel跟打器v2.0"));
        QVERIFY(myHelper::exec("insert into kelm_version (v_version,v_time) values (?,?)", {m_tag, 2000000000}));
        QCOMPARE(latestVersion(), m_tag);
        myHelper::exec("delete from kelm_version where v_version=?", {m_tag});
    }
};

QTEST_GUILESS_MAIN(TestAccount)
#include "test_account.moc"
