// The account against the real database: the login check, the remembered login, the remote record
// with its sign-in rules, the ranking upload, and the account part through its menu and the window.
#include "account/accountpart.h"
#include "account/core/login.h"
#include "account/frmlogin.h"
#include "account/setting.h"
#include "app/core/bounded.h"
#include "dbsupport.h"
#include "sending/form.h"
#include "typing/coresettings.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlDatabase>

#include <memory>

class TestAccount : public QObject
{
    Q_OBJECT

public slots:
    void openUrl(const QUrl& url) { m_titles << url.toString(); }

private:
    const QString m_tag = QStringLiteral("acc%1-").arg(QCoreApplication::applicationPid());
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
    // An account part whose sign-in reads and syncs `record` as the window does.
    std::unique_ptr<AccountPart> readingPart(TypingRecord& record)
    {
        auto self = std::make_shared<AccountPart*>(nullptr);
        AccountPart::Host reading = host();
        reading.readRecord = [self, &record] { (*self)->readRecord(record); };
        reading.syncRecord = [self, &record] { (*self)->jltoSql(record); };
        auto part = std::make_unique<AccountPart>(reading);
        *self = part.get();
        return part;
    }
    // The record as the local store holds it: today, in all, keys, seconds, characters; the account's
    // row adds its two averages.
    static QString localRecord()
    {
        return QString::asprintf("%d %d %d %g %d", App::TempJilu, App::Jilu, App::Totaljs, App::Totalti, App::Totalco);
    }
    static QString rowRecord(const QString& name)
    {
        return myHelper::getOne(
            "select concat_ws(' ',u_jilu,u_totaljilu,u_totaljs,u_totalsj,u_totalzs,u_avejj,u_avemc) "
            "from kelm_user where u_truename=?",
            {name});
    }
    // The account's row: today, in all, keys, seconds, characters; averages 5.50 and 2.00.
    void seedRow(const QString& name, const QString& totals)
    {
        QVariantList values;
        for (const QString& value : totals.split(' '))
            values << value.toDouble();
        values << QDate::currentDate().toString("yyyy-MM-dd") << name;
        QVERIFY(myHelper::exec("update kelm_user set u_jilu=?,u_totaljilu=?,u_totaljs=?,u_totalsj=?,u_totalzs=?,"
                               "u_avejj='5.50',u_avemc='2.00',u_gdtime=? where u_truename=?",
                               values));
    }
    // One data row; a text literal goes in as a QString.
    template <typename... V> static void row(const char* tag, V... values)
    {
        (QTest::addRow("%s", tag) << ... << values);
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
                               "(?,?,?,1000),(?,?,?,1000),(?,?,?,1000),(?,?,?,1000),(?,?,?,1000),(?,?,?,1000)",
                               {t + "zhang", "zhang.san" + mail, digest("secret"), t + "upper", "",
                                digest("secret").toUpper(), t + "dup1", "dup" + mail, digest("a"), t + "dup2",
                                "dup" + mail, digest("b"), t + "x' or '1'='1", "", digest("p"), t + "rec", "", "",
                                t + "a&b", "", digest("p")}));
    }

    void cleanupTestCase()
    {
        if (dbt::connect())
            dbt::removeTagged(m_tag);
        App::DbOnline = false;
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    }

    void init()
    {
        m_dir = std::make_unique<TestDir>();
        ts::resetWindowGlobals();
        App::CurrentUserName.clear();
        App::CurrentUserPwd.clear();
        m_titles.clear();
        m_reads = 0;
        QVERIFY(dbt::connect());
    }

    void cleanup()
    {
        setConnectionClock({});
        App::DbOnline = false;
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
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
        const AccountLogin::Result result = AccountLogin::check(account, password, true);
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
        // Four days of record: the average per day, not the total.
        QVERIFY(RemoteRecord::write({{12, 3000, 9000, 60, 2000}, 4, "5.50", "2.00", "2026-12-07"}, m_tag + "zhang"));
        QCOMPARE(myHelper::getOne("select u_avedayjilu from kelm_user where u_truename=?", {m_tag + "zhang"}),
                 QStringLiteral("750"));
        // Garbage on the server does not reach the local record.
        myHelper::exec("update kelm_user set u_jilu=-5,u_totalsj=-1 where u_truename=?", {m_tag + "zhang"});
        const RemoteRecord::Row garbage = RemoteRecord::read(m_tag + "zhang");
        QCOMPARE(garbage.totals.today + garbage.totals.seconds, 0.0);
        // The largest unsigned value of a server column counts as the largest count, not as 0.
        QSqlQuery largest("select cast(18446744073709551615 as unsigned)");
        QVERIFY(largest.next());
        QCOMPARE(Bounded::toInt(largest.value(0), 0), INT_MAX);
        // No registration time: the local record's three days, not the days since 1970.
        myHelper::exec("update kelm_user set u_regtime=NULL where u_truename=?", {m_tag + "zhang"});
        App::Day = TypingRecord::dayText(QDate::currentDate().addDays(-2));
        App::Jilu = 1;
        TypingRecord record(CoreSettings::recordStore());
        record.checkDay(RemoteRecord::read(m_tag + "zhang").regTime);
        QCOMPARE(record.recordDays(), 3);
        myHelper::exec("update kelm_user set u_regtime=1000 where u_truename=?", {m_tag + "zhang"});
    }

    // A sign-in and the sync after it, the local record holding 4000 today and 11000 in all: the
    // record's own account, or nobody's, keeps the larger values; another account's row takes its
    // place, averages included; a clearing still pending goes over its own account's row, never
    // over another's, and stays owed to its own.
    void signInRecord_data()
    {
        QTest::addColumn<QString>("recordUser"); // "me": the account signing in
        QTest::addColumn<bool>("pending");
        QTest::addColumn<QString>("row"); // the account's row before
        // The row after the sync: the local record after the sign-in, then the two averages.
        QTest::addColumn<QString>("after");
        const QString stale = "100 20000 300 90 150", empty = "0 0 0 0 0";
        row("same account", "me", false, stale, "4000 20000 500 90 200 5.56 2.50");
        row("runs before any sign-in", "", false, stale, "4000 20000 500 90 200 5.56 2.50");
        row("another account", "other", false, empty, empty + " 0.00 0.00");
        row("clearing pending", "me", true, stale, "4000 11000 500 60 200 8.33 2.50");
        row("another's clearing stays owed", "other", true, stale, stale + " 3.33 2.00");
    }
    void signInRecord()
    {
        QFETCH(QString, recordUser);
        QFETCH(bool, pending);
        QFETCH(QString, row);
        QFETCH(QString, after);
        const QString name = m_tag + "rec";
        seedRow(name, row);
        App::TempJilu = 4000;
        App::Jilu = 11000;
        App::Totaljs = 500;
        App::Totalti = 60;
        App::Totalco = 200;
        App::Day2 = TypingRecord::dayText(QDate::currentDate());
        App::RecordUser = recordUser == "me" ? name : recordUser == "other" ? m_tag + "zhang" : "";
        App::RecordClearPending = pending;
        App::RecordClearUser = pending ? App::RecordUser : QString();
        TypingRecord record(CoreSettings::recordStore());
        record.refreshTotals(); // the averages the window shows before
        const auto part = readingPart(record);
        App::CurrentUserName = name; // as the login window leaves it
        part->loginRecv("1");
        QCOMPARE(localRecord(), after.section(' ', 0, 4));
        part->jltoSql(record);
        QTEST(rowRecord(name), "after");
        QCOMPARE(ts::storedRecord("RecordUser").toString() + ts::storedRecord("RecordClearPending").toString() + '|' +
                     ts::storedRecord("RecordClearUser").toString(),
                 name + "false|" + (pending && recordUser == "other" ? m_tag + "zhang" : ""));
    }

    // A clearing made while signed out (the typing record's counts, or the pinned bar's run totals and
    // averages): another account's sign-in leaves that account's row alone, and the clearing's own
    // account has it on its row before the row is taken. A second clearing, made under the other
    // account meanwhile, stays owed to that one: each reaches its own row.
    void clearingOwedThroughAnotherSignIn_data()
    {
        QTest::addColumn<QString>("clears");              // the owner's, then the other account's, if any
        QTest::addColumn<QString>("ownerRow");            // after the owner's sign-in
        QTest::addColumn<QString>("otherRow");            // after the other account's second sign-in
        const QString other = "7 500 40 20 30 2.00 1.33"; // as its first sign-in left it
        row("typing record", "counts", "0 0 300 90 150 5.50 2.00", other);
        row("pinned bar", "totals", "100 20000 0 0 0 0 0", other);
        row("both, each its own account's", "counts totals", "0 0 300 90 150 5.50 2.00", "7 500 0 0 0 0 0");
        row("both, the other way", "totals counts", "100 20000 0 0 0 0 0", "0 0 40 20 30 2.00 1.33");
    }
    void clearingOwedThroughAnotherSignIn()
    {
        QFETCH(QString, clears);
        QFETCH(QString, ownerRow);
        QFETCH(QString, otherRow);
        const QString owner = m_tag + "rec", other = m_tag + "zhang";
        seedRow(owner, "100 20000 300 90 150");
        seedRow(other, "7 500 40 20 30");
        App::RecordUser = owner;
        App::Jilu = 20000;
        App::Totaljs = 300;
        App::Totalti = 90;
        App::Totalco = 150;
        TypingRecord record(CoreSettings::recordStore());
        const auto part = readingPart(record);
        const auto clear = [&](const QString& what) {
            if (what == "counts")
                record.clearCounts();
            else
                record.clearTotals();
            part->syncClearedRecord(record, what == "totals");
        };
        const auto signIn = [&](const QString& name) {
            if (part->signedIn())
                part->regSlot();
            App::CurrentUserName = name;
            part->loginRecv("1");
        };
        clear(clears.section(' ', 0, 0));
        signIn(other);
        part->jltoSql(record);
        QCOMPARE(rowRecord(other), "7 500 40 20 30 2.00 1.33");
        QCOMPARE(ts::storedRecord("RecordClearUser").toString() + '|' + ts::storedRecord("TotalsClearUser").toString(),
                 clears.startsWith("counts") ? owner + '|' : '|' + owner);
        const QString second = clears.section(' ', 1, 1);
        part->regSlot();
        if (!second.isEmpty())
            clear(second);
        signIn(owner);
        QCOMPARE(localRecord(), ownerRow.section(' ', 0, 4));
        QCOMPARE(rowRecord(owner), ownerRow);
        signIn(other);
        QCOMPARE(rowRecord(other), otherRow);
        QCOMPARE(ts::storedRecord("RecordClearUser").toString() + ts::storedRecord("TotalsClearUser").toString(), "");
    }

    // The pinned bar cleared while signed out waits for its account's next sign-in, which writes the
    // cleared totals and no averages over the row; so too from a store that did not name its account.
    void clearingWaitsForItsAccount_data()
    {
        QTest::addColumn<bool>("namedInStore");
        row("account named", true);
        row("store from before", false);
    }
    void clearingWaitsForItsAccount()
    {
        QFETCH(bool, namedInStore);
        const QString name = m_tag + "rec";
        seedRow(name, "100 20000 300 90 150");
        App::RecordUser = name;
        App::Jilu = 20000;
        App::Totaljs = 500;
        App::Totalti = 60;
        TypingRecord record(CoreSettings::recordStore());
        record.refreshTotals(); // the window shows an average key rate of 8.33
        const auto part = readingPart(record);
        record.clearTotals();
        part->syncClearedRecord(record, true);
        if (!namedInStore) {
            QSettings("VEK Helper", "VEK").remove("VekConfig/TotalsClearUser");
            App::readStats();
        }
        App::CurrentUserName = name;
        part->loginRecv("1");
        QCOMPARE(rowRecord(name), "0 20000 0 0 0 0 0");
        QVERIFY(!ts::storedRecord("RecordClearPending").toBool());
    }

    // Runs finished while the server is away stay owed to the account that typed them, and add up:
    // the next statement that reaches the server while that account is signed in sends them, or
    // else its next sign-in, also after another account's sign-in took the local record's place and
    // from the store of a trainer started again. Once the row has them, nothing is sent again.
    void runOwedThroughOutage_data()
    {
        QTest::addColumn<int>("runs");
        QTest::addColumn<QString>("then");  // once the server is back
        QTest::addColumn<QString>("after"); // the owner's record, local and on its row
        const QString one = "503 1500 1500 190 650 7.89 2.31";
        row("next statement", 1, "statement", one);
        row("another account signs in first", 1, "other", one);
        row("started again under another account", 1, "restart", one);
        row("two runs add up", 2, "other", "1003 2000 2700 290 1150 9.31 2.35");
    }
    void runOwedThroughOutage()
    {
        QFETCH(int, runs);
        QFETCH(QString, then);
        QFETCH(QString, after);
        qint64 clock = 0;
        setConnectionClock([&clock] { return clock; });
        const QString owner = m_tag + "rec", other = m_tag + "zhang";
        seedRow(owner, "3 1000 300 90 150");
        seedRow(other, "7 500 40 20 30");
        App::Day2 = TypingRecord::dayText(QDate::currentDate());
        auto record = std::make_unique<TypingRecord>(CoreSettings::recordStore());
        auto part = readingPart(*record);
        const auto signIn = [&](const QString& name) {
            if (part->signedIn())
                part->regSlot();
            App::CurrentUserName = name;
            part->loginRecv("1");
        };
        signIn(owner);
        QVERIFY(dbt::killSession(myHelper::getOne("select connection_id()")));
        {
            dbt::AwayServer away;
            const int serverPort = App::DbPort;
            App::DbPort = away.port();
            for (int i = 0; i < runs; ++i) {
                record->addTyped(500, 500);
                record->addRun(100, 1200, 500);
                QVERIFY(!part->jltoSql(*record));
            }
            App::DbPort = serverPort;
        }
        clock += kReopenPauseMs;
        if (then == "statement") {
            myHelper::getOne("select 1");
            QCoreApplication::processEvents();
        } else {
            // A trainer started on the store, signing in the remembered account, if any, as it opens.
            const auto restart = [&](const QString& remembered) {
                part->regSlot();
                part.reset();
                ts::resetWindowGlobals();
                App::readStats();
                QVERIFY(dbt::connect());
                if (!remembered.isEmpty()) {
                    App::CurrentUserName = remembered;
                    App::CurrentUserPwd = digest("secret");
                }
                record = std::make_unique<TypingRecord>(CoreSettings::recordStore());
                part = readingPart(*record);
                part->checkRememberedLogin();
                part->readRecord(*record);
            };
            if (then == "restart")
                restart(other);
            else
                signIn(other);
            part->jltoSql(*record);
            QCOMPARE(rowRecord(other), "7 500 40 20 30 2.00 1.33");
            if (then == "restart")
                restart(QString());
            signIn(owner);
        }
        QCOMPARE(localRecord(), after.section(' ', 0, 4));
        QCOMPARE(rowRecord(owner), after);
        // Paid once: a later statement sends nothing more.
        QVERIFY(myHelper::exec("update kelm_user set u_totaljilu=1 where u_truename=?", {owner}));
        myHelper::getOne("select 1");
        QCoreApplication::processEvents();
        QCOMPARE(myHelper::getOne("select u_totaljilu from kelm_user where u_truename=?", {owner}), "1");
    }

    // Every upload in the order its conditions are checked: the manual one (menu command or pop-up)
    // needs the whole text and taking part, then signed in, a clean run of an eligible title, the
    // run finished and a server text; each row passes the checks before it. The quiet one at the
    // end of a run tries only a whole text when taking part, and says no more than that the run ended.
    // A run typed under another account counts as not clean; one typed signed out goes under anyone.
    void upload_data()
    {
        // whole text, take part, signed in, clean, finished, server text, manual: + or -; then who
        // typed it: + this account, - another, none: signed out
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("message"); // with how long it shows
        QTest::addColumn<QString>("row");     // the entry afterwards; "12": one correction, two enters
        const QString t = m_tag + "文", cond = "上传成绩条件：1.跟打发文中系统文本并全文发文 2.跟打成绩无错情 1000";
        row("not whole text", "-++++++", t, "90", cond, "");
        row("not taking part", "+-+++++", t, "90",
            "上传成绩需要开启参与排名功能，请在高级设置中开启！在功能选项中重新手动上传！ 1000", "");
        row("signed out", "++-++++", t, "90", "上传成绩需要登录帐号！ 1000", "");
        row("wrong character", "+++-+++", t, "90", cond, "");
        row("excluded title", "+++++++", "错字收集", "90", cond, "");
        row("not finished", "++++-++", t, "90", "跟打结束后才能上传成绩！ 1000", "");
        row("local text", "+++++-+", t, "90", "跟打本地文本不能上传成绩！ 1000", "");
        row("quiet: not whole text", "-+++++-", t, "90", "跟打结束 -1", "");
        row("quiet: not taking part", "+-++++-", t, "90", "跟打结束 -1", "");
        row("quiet: wrong character", "+++-++-", t, "90", "跟打结束 -1", "");
        row("quiet: signed out", "++-+++-", t, "90", "上传成绩需要登录帐号！ 1000", "");
        row("another account's run", "+++++++-", t, "90", cond, "");
        row("quiet: another account's run", "++++++--", t, "90", "跟打结束 -1", "");
        // Each offered upload counts once on the text (from 4).
        row("first", "++++++++", t, "90", "成绩上传成功！ 3000", "1 90 1'02\"35 98.5% 12 5");
        row("equal", "+++++++", t, "90.00", "不要灰心，继续加油！ 3000", "1 90 1'02\"35 98.5% 12 6");
        row("faster, quietly", "++++++-", t, "95.5", "恭喜您，成绩更进一步！ 3000", "1 95.5 1'02\"35 98.5% 12 7");
    }
    void upload()
    {
        QFETCH(QString, state);
        QFETCH(QString, title);
        QFETCH(QString, speed);
        const QStringList cells{speed, "5.1", "2.3",   "100", "1'02\"35", "1",   "0", "2",
                                "230", "0",   "98.5%", "50%", "0",        "40%", "0"};
        const auto on = [&state](int i) { return state.at(i) == '+'; };
        const QString typedBy = state.size() < 8 ? QString() : m_tag + (on(7) ? "zhang" : "li");
        const RankUpload::Run run{speed, cells, on(3) ? 0 : 1, title, on(4), on(0), typedBy};
        // No public address known: stored as the empty text, where a NULL would blank the entry below.
        const RankUpload::Context context{true, on(2), on(1), m_tag + "zhang", on(5), 1700000000, "v", QString()};
        if (QTest::currentDataTag() == QLatin1String("first"))
            QVERIFY(myHelper::exec("insert into kelm_text (a_name,a_gdnum) values (?,?)", {title, 4}));
        const RankUpload::Notice notice = RankUpload::upload(run, context, on(6));
        QTEST(notice.text + ' ' + QString::number(notice.ms), "message");
        QTEST(myHelper::getOne("select concat(count(*),' ',max(r_sd),' ',max(r_sj),' ',max(r_jz),' ',max(r_hg),"
                               "max(r_hc),' ',(select a_gdnum from kelm_text where a_name=?),max(r_ip)) from "
                               "kelm_rank where r_text=?",
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
        RankUpload::Context context{true, true, true, m_tag + value, true, 1, value, value};
        QCOMPARE(RankUpload::tryUpload(run, context, true).text, QStringLiteral("成绩上传成功！"));
        QCOMPARE(myHelper::getOne("select concat(r_text,r_from) from kelm_rank where r_username=?", {m_tag + value}),
                 m_tag + value + value);
        QCOMPARE(othersChecksum(), before);
    }

    // A manual upload while the server is away says it failed, the quiet one at the end of a run says
    // nothing; the same run lands once the server is back, without a restart.
    void uploadThroughOutage()
    {
        qint64 clock = 0;
        setConnectionClock([&clock] { return clock; });
        const QString title = m_tag + "断线";
        const RankUpload::Run run{"88", {}, 0, title, true, true};
        const RankUpload::Context context{true, true, true, m_tag + "zhang", true, 1700000000, "v", "1.2.3.4"};
        const auto upload = [&run, &context](bool manual) {
            const RankUpload::Notice notice = RankUpload::upload(run, context, manual);
            return notice.shown() ? notice.text + ' ' + QString::number(notice.ms) : QString();
        };
        QVERIFY(dbt::killSession(myHelper::getOne("select connection_id()")));
        dbt::AwayServer away;
        const int serverPort = App::DbPort;
        App::DbPort = away.port();
        QCOMPARE(upload(true), "成绩上传失败！ 3000");
        QCOMPARE(upload(false), QString());
        App::DbPort = serverPort;
        clock += kReopenPauseMs;
        QCOMPARE(upload(true), "成绩上传成功！ 3000");
        QCOMPARE(myHelper::getOne("select concat(count(*),' ',max(r_sd)) from kelm_rank where r_text=?", {title}),
                 "1 88");
    }

    // A sign-in with the right password while the server is away or does not answer says that the
    // server cannot be reached, as when the trainer started offline, and tries the server at most once;
    // only a password the server rejected is called wrong. Nothing is remembered either way.
    void signInDuringOutage_data()
    {
        QTest::addColumn<QString>("server"); // up, away or silent
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        const QString offline = "1.请确保网络连接正常 2.若网络正常，请<a href=\"\">点击</a>下载最新版本";
        row("server away", "away", "secret", offline);
        row("server silent", "silent", "secret", offline);
        row("wrong password", "up", "Secret", "用户名或密码错误！");
    }
    void signInDuringOutage()
    {
        QFETCH(QString, server);
        QFETCH(QString, password);
        dbt::AwayServer away;
        dbt::Link link;
        if (server == "away") {
            QVERIFY(dbt::killSession(myHelper::getOne("select connection_id()")));
            App::DbPort = away.port();
        } else if (server == "silent") {
            App::DbPort = link.port();
            QVERIFY(createConnection());
            link.cut();
        }
        frmLogin w;
        w.show();
        // By e-mail address: two statements, the look-up and the password.
        w.findChild<QLineEdit*>("lineEdit")->setText("zhang.san@" + m_tag + "example.com");
        w.findChild<QLineEdit*>("txtUserPwd")->setText(password);
        ts::BoxAnswerer box(true);
        QTest::mouseClick(w.findChild<QPushButton*>("btnLogin"), Qt::LeftButton);
        QTEST(box.text, "message");
        QCOMPARE(away.connections() + link.connections(), server == "up" ? 0 : 1);
        QVERIFY(w.isVisible() && App::CurrentUserName.isEmpty() && !ts::storedRecord("CurrentUserName").isValid());
    }

    // Signing in by e-mail address through the menu, the password typed on the on-screen keyboard.
    // Menu texts another part left behind decide nothing: this part has not signed in.
    void signInAndOut()
    {
        App::LoginMenuText = "欢迎您，" + m_tag + "dup1";
        App::RegisterMenuText = "退出";
        App::WebUrl = "http://127.0.0.1:9";
        const QString cloud = App::WebUrl + "/index.php/Home/Cloud/index";
        AccountPart part(host());
        part.regSlot();
        part.loginSlot();
        QPointer<frmLogin> w = part.loginWindow();
        QVERIFY(w);
        QTest::keyClicks(w->findChild<QLineEdit*>("lineEdit"), "zhang.san@" + m_tag + "example.com");
        for (const char* key : {"btnKey", "btnS", "btnE", "btnC", "btnR", "btnE", "btnT", "btnLogin"})
            QTest::mouseClick(w->findChild<QPushButton*>(key), Qt::LeftButton);
        QTRY_VERIFY(!w);
        QVERIFY(part.signedIn() && m_reads == 1);
        QVERIFY(!part.jltoSql(TypingRecord(CoreSettings::recordStore()))); // no record read from this row yet
        QCOMPARE(App::LoginMenuText + App::RegisterMenuText + ts::storedRecord("CurrentUserPwd").toString(),
                 "欢迎您，" + m_tag + "zhang" + "退出" + digest("secret"));
        part.loginSlot(); // the greeting opens nothing
        QVERIFY(!part.loginWindow());
        part.regSlot();
        part.regSlot();
        part.rankSlot();
        QCOMPARE(m_titles,
                 QStringList({cloud, "登陆成功！", "退出成功！", cloud, App::WebUrl + "/index.php/Home/Rank/result"}));
        // Signed out for good: the next start finds neither name nor password to sign in with.
        QCOMPARE(ts::storedRecord("CurrentUserName").toString() + ts::storedRecord("CurrentUserPwd").toString() +
                     App::LoginMenuText,
                 "登陆");
        App::readStats();
        AccountPart next(host());
        next.checkRememberedLogin();
        QVERIFY(!next.signedIn());
    }

    // Without a web address the two pages say so in the title, as the forum's does.
    void noWebAddress()
    {
        App::WebUrl.clear();
        QStringList shown;
        AccountPart part({[&shown](const QString& text, int ms) { shown << text + ' ' + QString::number(ms); }});
        part.regSlot();
        part.rankSlot();
        QCOMPARE(shown, QStringList({"未设置网站地址 1000", "未设置网站地址 1000"}));
    }

    // An empty remembered digest never matches a missing password: the account is gone, or has none.
    void rememberedEmptyDigest()
    {
        for (const QString& name : {m_tag + "gone", m_tag + "rec"})
            QCOMPARE(AccountLogin::checkRemembered(name, "", true), AccountLogin::Remembered::Rejected);
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
        std::unique_ptr<dbt::AwayServer> away;
        if (online == 2) {
            QVERIFY(dbt::killSession(myHelper::getOne("select connection_id()")));
            away = std::make_unique<dbt::AwayServer>();
            App::DbPort = away->port();
        }
        App::CurrentUserName = m_tag + "zhang";
        App::CurrentUserPwd = stored;
        App::Jilu = 777;
        App::writeStats();
        TypingRecord record(CoreSettings::recordStore());
        const auto part = readingPart(record);
        part->checkRememberedLogin(); // then the window reads the record, and syncs it later
        part->readRecord(record);
        part->jltoSql(record);
        QTEST(part->signedIn(), "signedIn");
        // Remembered either way, never as the plain password; synced only when signed in.
        QCOMPARE(ts::storedRecord("CurrentUserName").toString(), m_tag + "zhang");
        QCOMPARE(ts::storedRecord("CurrentUserPwd").toString(),
                 stored.size() == 32 ? stored : myHelper::getMd5(stored));
        QVERIFY(dbt::connect());
        QCOMPARE(myHelper::getOne("select u_totaljilu from kelm_user where u_truename=?", {m_tag + "zhang"}),
                 part->signedIn() ? "777" : "0");
    }

    // A remembered login the server rejects: neither the settings' OK nor a text upload reaches the
    // server under its name, and the store keeps name and digest for the next start to check again.
    void rejectedLoginActsUnderNoName()
    {
        const QString name = m_tag + "zhang";
        QVERIFY(myHelper::exec("update kelm_user set u_srf='五笔' where u_truename=?", {name}));
        App::CurrentUserName = name;
        App::CurrentUserPwd = digest("old");
        AccountPart part(host());
        part.checkRememberedLogin();
        QVERIFY(!part.signedIn());
        App::ShuRuFa2 = true;
        App::ShuRuFa = "拼音";
        Setting setting;
        setting.show();
        QTest::mouseClick(setting.findChild<QPushButton*>("btnOk"), Qt::LeftButton);

        QDir().mkpath("文章");
        QVERIFY(App::writeFile("文章/" + m_tag + "本地.txt", "本地文章"));
        QPointer<Form> form = new Form(nullptr, m_dir->path());
        form->show();
        auto* list = form->findChild<QListWidget*>("listSource");
        list->setCurrentItem(list->findItems(m_tag + "本地", Qt::MatchExactly).value(0));
        ts::BoxAnswerer box(true);
        QTest::mouseClick(form->findChild<QPushButton*>("btnUpload"), Qt::LeftButton);
        QCOMPARE(box.text, QStringLiteral("上传文本需要登录帐号！"));
        form->close();

        App::Jilu += 1; // a keystroke's record write
        App::writeStats();
        QCOMPARE(dbt::firstRow("select u_srf,(select count(*) from kelm_text where a_username=?) from kelm_user "
                               "where u_truename=?",
                               {name, name}),
                 QStringList({"五笔", "0"}));
        QCOMPARE(ts::storedRecord("CurrentUserName").toString() + ts::storedRecord("CurrentUserPwd").toString(),
                 name + digest("old"));
    }

    // Through the real window: the remembered login signs in as it opens, a blank newest version
    // shows no update notice, a built-in drill typed whole leaves its ranking row, and the menu's
    // upload takes the whole text as the run left it, under the account that typed it only. The
    // menu bar greets an account by its name as it is written.
    void throughTheWindow()
    {
        ts::MainWindowFixture f;
        QVERIFY(dbt::connect());
        const int newest = INT_MAX;
        QVERIFY(myHelper::exec("insert into kelm_version (v_version,v_time) values (' ',?)", {newest}));
        const auto dropVersion =
            qScopeGuard([newest] { myHelper::exec("delete from kelm_version where v_time=?", {newest}); });
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
        // The menu's upload: this drill again at the same speed, then a local text, never whole.
        const auto manually = [&f] {
            return f.titlesDuring([&f] { f.action({"功能", "手动上传成绩"})->trigger(); }).join('|');
        };
        QVERIFY(manually().contains("不要灰心，继续加油！"));
        f.w().regSlot();
        App::CurrentUserName = m_tag + "a&b"; // as the login window leaves it
        f.w().loginRecv("1");
        QStringList menuBar; // as it reads, shortcut marks taken out
        for (const QAction* entry : f.w().findChild<QMenuBar*>()->actions())
            menuBar << entry->iconText();
        QVERIFY2(menuBar.contains("欢迎您，" + m_tag + "a&b"), qPrintable(menuBar.join('|')));
        QVERIFY(manually().contains("上传成绩条件：1.跟打发文中系统文本并全文发文 2.跟打成绩无错情"));
        QCOMPARE(myHelper::getOne("select count(*) from kelm_rank where r_username=?", {m_tag + "a&b"}), "0");
        f.w().layHandPassage(m_tag + "本地", "跟打");
        QApplication::clipboard()->clear();
        f.commit("跟打");
        QVERIFY(!f.waitLine().isEmpty());
        QVERIFY(manually().contains("上传成绩条件：1.跟打发文中系统文本并全文发文 2.跟打成绩无错情"));
    }
};

QTEST_MAIN(TestAccount)
#include "test_account.moc"
