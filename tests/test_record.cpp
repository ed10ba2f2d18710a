#include "app/app.h"
#include "testsupport.h"
#include "typing/record.h"

#include <QScopedPointer>

#include <climits>

class TestRecord : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestDir> m_dir;
    QDateTime m_now;

    TypingRecord::Clock clock()
    {
        return [this] { return m_now; };
    }

    static QDateTime at(int y, int m, int d, int h = 12, int min = 0, int s = 0)
    {
        return QDateTime(QDate(y, m, d), QTime(h, min, s));
    }

    // What the native store holds, read back over the globals.
    static void reloadStore()
    {
        App::Jilu = App::TempJilu = App::Totaljs = App::Totalco = -1;
        App::Totalti = -1;
        App::Day = App::Day2 = QStringLiteral("garbage");
        App::readStats();
    }

private slots:
    void init();
    void cleanup();

    void typingGrowsTodayAndTotal();
    void rollOverAcrossMidnight();
    void rollOverAcrossSeveralDays();
    void rollOverWhenDateGoesBack();
    void firstStart();
    void dayCheckOffline_data();
    void dayCheckOffline();
    void dayCheckRemote_data();
    void dayCheckRemote();
    void recordLabel();
    void totals();
    void clearingCommands();
    void storedDayForms();
};

void TestRecord::init()
{
    m_dir.reset(new TestDir);
    m_now = at(2024, 3, 10);
    App::Jilu = App::TempJilu = App::Totaljs = App::Totalco = 0;
    App::Totalti = 0.0;
    App::Day.clear();
    App::Day2.clear();
    App::CurrentUserName.clear();
    App::CurrentUserPwd.clear();
}

void TestRecord::cleanup()
{
    m_dir.reset();
}

void TestRecord::typingGrowsTodayAndTotal()
{
    TypingRecord record(clock());
    App::TempJilu = 10;
    App::Jilu = 100;

    QVERIFY(record.addTyped(2, 2)); // a two-character word committed
    QCOMPARE(App::TempJilu, 12);
    QCOMPARE(App::Jilu, 102);

    // Backspace and Escape count 0; a shortened pane must not take anything off either.
    QVERIFY(!record.addTyped(1, 0));
    QVERIFY(!record.addTyped(0, -1));
    QVERIFY(!record.addTyped(0, 1)); // empty pane: nothing counts
    QCOMPARE(App::TempJilu, 12);
    QCOMPARE(App::Jilu, 102);

    App::writeStats(); // the caller's save
    reloadStore();
    QCOMPARE(App::TempJilu, 12);
    QCOMPARE(App::Jilu, 102);

    // Counts never wrap round.
    App::Jilu = INT_MAX - 1;
    QVERIFY(record.addTyped(5, 5));
    QCOMPARE(App::Jilu, INT_MAX);
}

void TestRecord::rollOverAcrossMidnight()
{
    m_now = at(2024, 3, 10, 23, 59, 58);
    TypingRecord record(clock());
    record.checkDay();
    record.addTyped(3, 3);

    m_now = at(2024, 3, 10, 23, 59, 59);
    QVERIFY(!record.tick());
    QCOMPARE(App::TempJilu, 3);

    // The second 00:00:00 itself may never see a tick (busy window, timer drift).
    m_now = at(2024, 3, 11, 0, 0, 1);
    QVERIFY(record.tick());
    QCOMPARE(App::TempJilu, 0);
    QCOMPARE(App::Jilu, 3);
    QCOMPARE(App::Day2, TypingRecord::dayText(QDate(2024, 3, 11)));
    QVERIFY(record.recordLabelText().startsWith(QStringLiteral("打字记录: 0/3/")));

    // Once per change of date, not on every tick of the new day.
    m_now = at(2024, 3, 11, 0, 0, 2);
    record.addTyped(1, 1);
    QVERIFY(!record.tick());
    QCOMPARE(App::TempJilu, 1);

    App::writeStats(); // the caller's save
    reloadStore();
    QCOMPARE(App::TempJilu, 1);
    QCOMPARE(App::Day2, TypingRecord::dayText(QDate(2024, 3, 11)));
}

void TestRecord::rollOverAcrossSeveralDays()
{
    TypingRecord record(clock());
    record.checkDay();
    record.addTyped(9, 9);
    QCOMPARE(record.recordDays(), 1);

    // A suspended machine wakes three days later.
    m_now = at(2024, 3, 13, 8, 0, 0);
    QVERIFY(record.tick());
    QCOMPARE(App::TempJilu, 0);
    QCOMPARE(App::Day2, TypingRecord::dayText(QDate(2024, 3, 13)));
    QVERIFY(!record.tick());

    // The next day check counts the days of the record from its first day.
    record.checkDay();
    QCOMPARE(record.recordDays(), 4);
    QCOMPARE(App::Day, TypingRecord::dayText(QDate(2024, 3, 10)));
    QCOMPARE(App::Jilu, 9);
}

void TestRecord::rollOverWhenDateGoesBack()
{
    m_now = at(2024, 3, 11, 0, 0, 5);
    TypingRecord record(clock());
    record.checkDay();
    record.addTyped(4, 4);

    // The clock is set back over midnight.
    m_now = at(2024, 3, 10, 23, 59, 58);
    QVERIFY(record.tick());
    QCOMPARE(App::TempJilu, 0);
    QCOMPARE(App::Day2, TypingRecord::dayText(QDate(2024, 3, 10)));
    QCOMPARE(App::Jilu, 4);

    // Days of the record stay at least one with a first day after today.
    record.checkDay();
    QVERIFY(record.recordDays() >= 1);
    QCOMPARE(record.perDayAverage(), 4 / record.recordDays());
}

void TestRecord::firstStart()
{
    TypingRecord record(clock());
    QCOMPARE(record.recordDays(), 1); // before any day check
    record.checkDay();
    QCOMPARE(record.recordDays(), 1);
    QCOMPARE(App::Day, TypingRecord::dayText(QDate(2024, 3, 10)));
    QCOMPARE(App::Day2, App::Day);
    QCOMPARE(App::TempJilu, 0);
    QCOMPARE(record.recordLabelText(), QStringLiteral("打字记录: 0/0/1天"));

    reloadStore();
    QCOMPARE(App::Day, TypingRecord::dayText(QDate(2024, 3, 10)));
    QCOMPARE(App::Day2, App::Day);
}

void TestRecord::dayCheckOffline_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("day2");
    QTest::addColumn<int>("tempJilu");
    QTest::addColumn<int>("jilu");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("tempAfter");
    QTest::addColumn<QString>("dayAfter");
    QTest::addColumn<QString>("day2After");

    const QDate today(2024, 3, 10);
    const QString t = TypingRecord::dayText(today);
    const QString yesterday = TypingRecord::dayText(today.addDays(-1));
    const QString tomorrow = TypingRecord::dayText(today.addDays(1));
    const QString first = TypingRecord::dayText(today.addDays(-9));

    QTest::addRow("counted day is past") << first << yesterday << 50 << 500 << 10 << 0 << first << t;
    QTest::addRow("counted day is today") << first << t << 50 << 500 << 10 << 50 << first << t;
    QTest::addRow("counted day ahead keeps its count")
        << first << tomorrow << 50 << 500 << 10 << 50 << first << tomorrow;
    QTest::addRow("counted day ahead with nothing counted") << first << tomorrow << 0 << 500 << 10 << 0 << first << t;
    QTest::addRow("empty record starts today") << first << t << 0 << 0 << 10 << 0 << t << t;
    QTest::addRow("first day ahead counts one day") << tomorrow << t << 5 << 5 << 1 << 5 << tomorrow << t;
    QTest::addRow("unreadable first day counts from today")
        << QStringLiteral("not a day") << t << 5 << 5 << 1 << 5 << t << t;
    QTest::addRow("missing counted day") << first << QString() << 5 << 5 << 10 << 0 << first << t;
}

void TestRecord::dayCheckOffline()
{
    QFETCH(QString, day);
    QFETCH(QString, day2);
    QFETCH(int, tempJilu);
    QFETCH(int, jilu);
    App::Day = day;
    App::Day2 = day2;
    App::TempJilu = tempJilu;
    App::Jilu = jilu;

    TypingRecord record(clock());
    record.checkDay();

    QTEST(record.recordDays(), "days");
    QTEST(App::TempJilu, "tempAfter");
    QTEST(App::Day, "dayAfter");
    QTEST(App::Day2, "day2After");
    QCOMPARE(App::Jilu, jilu);

    reloadStore();
    QTEST(App::TempJilu, "tempAfter");
    QTEST(App::Day, "dayAfter");
    QTEST(App::Day2, "day2After");
}

void TestRecord::dayCheckRemote_data()
{
    QTest::addColumn<qint64>("registeredAgo"); // seconds before now
    QTest::addColumn<QString>("gdTime");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("tempAfter");

    const qint64 day = 24 * 3600;
    QTest::addRow("synced today keeps today's count") << 2 * day + 3600 << QStringLiteral("2024-03-10") << 3 << 40;
    QTest::addRow("synced earlier resets") << 2 * day << QStringLiteral("2024-03-09") << 2 << 0;
    QTest::addRow("not read resets") << 5 * day + 1 << QString() << 6 << 0;
    QTest::addRow("registered a moment ago") << qint64(1) << QStringLiteral("2024-03-10") << 1 << 40;
    QTest::addRow("registered right now") << qint64(0) << QStringLiteral("2024-03-10") << 1 << 40;
    QTest::addRow("registered in the future") << -3 * day << QStringLiteral("2024-03-10") << 1 << 40;
}

void TestRecord::dayCheckRemote()
{
    QFETCH(qint64, registeredAgo);
    QFETCH(QString, gdTime);
    App::TempJilu = 40;
    App::Jilu = 4000;
    App::Day = TypingRecord::dayText(QDate(2024, 1, 1));
    App::Day2 = TypingRecord::dayText(QDate(2024, 1, 1));

    TypingRecord record(clock());
    const QString regTime = QString::number(m_now.toSecsSinceEpoch() - registeredAgo);
    record.checkDay(regTime, gdTime);

    QTEST(record.recordDays(), "days");
    QTEST(App::TempJilu, "tempAfter");
    // Today's count belongs to today now, so an offline day check later keeps it.
    QCOMPARE(App::Day2, TypingRecord::dayText(QDate(2024, 3, 10)));
    QCOMPARE(record.perDayAverage(), 4000 / record.recordDays());

    const int kept = App::TempJilu;
    record.checkDay();
    QCOMPARE(App::TempJilu, kept);
}

void TestRecord::recordLabel()
{
    App::Day = TypingRecord::dayText(QDate(2024, 3, 8));
    App::Day2 = TypingRecord::dayText(QDate(2024, 3, 10));
    App::TempJilu = 10;
    App::Jilu = 1000;
    TypingRecord record(clock());
    record.checkDay();

    QCOMPARE(record.recordDays(), 3);
    QCOMPARE(record.perDayAverage(), 333);
    QCOMPARE(record.recordLabelText(), QStringLiteral("打字记录: 10/1000/3天"));
    QCOMPARE(record.recordToolTip(), QStringLiteral("今日跟打:10字\n总跟打数:1000字\n记录天数:3天\n平均每天:333字"));

    // The per-day figure is written with six significant digits at most.
    App::Jilu = 12345678;
    App::Day = TypingRecord::dayText(QDate(2024, 3, 10));
    record.checkDay();
    QVERIFY(record.recordToolTip().endsWith(QStringLiteral("平均每天:1.23457e+07字")));
    QCOMPARE(record.syncDateText(), QStringLiteral("2024-03-10"));
}

void TestRecord::totals()
{
    TypingRecord record(clock());
    // Nothing finished yet: the averages have no value to show.
    record.refreshTotals();
    QCOMPARE(record.averageKeyRateButtonText(), QStringLiteral("平均击键: "));
    QCOMPARE(record.averageCodeLengthButtonText(), QStringLiteral("平均码长: "));

    record.addRun(60.0, 450, 150);
    record.addRun(40.0, 250, 100);
    QCOMPARE(App::Totalti, 100.0);
    QCOMPARE(App::Totaljs, 700);
    QCOMPARE(App::Totalco, 250);
    QCOMPARE(record.averageKeyRateText(), QStringLiteral("7.00"));
    QCOMPARE(record.averageCodeLengthText(), QStringLiteral("2.80"));
    QCOMPARE(record.averageKeyRateButtonText(), QStringLiteral("平均击键: 7.00"));
    QCOMPARE(record.averageCodeLengthButtonText(), QStringLiteral("平均码长: 2.80"));
    QCOMPARE(record.totalsToolTip(),
             QStringLiteral("总击键数: 700\n总跟打用时(min):1.67\n平均击键:7.00\n平均码长:2.80"));

    reloadStore();
    QCOMPARE(App::Totalti, 100.0);
    QCOMPARE(App::Totaljs, 700);
    QCOMPARE(App::Totalco, 250);

    // A zero total leaves its average as it was rather than dividing by it.
    App::Totalti = 0.0;
    App::Totalco = 0;
    App::Totaljs = 5;
    record.refreshTotals();
    QCOMPARE(record.averageKeyRateText(), QStringLiteral("7.00"));
    QCOMPARE(record.averageCodeLengthText(), QStringLiteral("2.80"));
}

void TestRecord::clearingCommands()
{
    App::TempJilu = 30;
    App::Jilu = 300;
    TypingRecord record(clock());
    record.addRun(50.0, 400, 200);

    record.clearCounts();
    QCOMPARE(App::TempJilu, 0);
    QCOMPARE(App::Jilu, 0);
    QCOMPARE(App::Totaljs, 400); // the run totals are another command's
    QCOMPARE(TypingRecord::clearedRecordLabelText(), QStringLiteral("打字记录: "));

    record.clearTotals();
    QCOMPARE(App::Totalti, 0.0);
    QCOMPARE(App::Totaljs, 0);
    QCOMPARE(App::Totalco, 0);
    // The average texts wait for the next run.
    QCOMPARE(record.averageKeyRateText(), QStringLiteral("8.00"));
    QCOMPARE(TypingRecord::clearedResultBarTexts(),
             QStringList({QStringLiteral("速度:"), QStringLiteral("击键:"), QStringLiteral("码长:"),
                          QStringLiteral("平均击键:"), QStringLiteral("平均码长:"), QStringLiteral("理论码长:")}));
    QCOMPARE(TypingRecord::clearedTotalsToolTip(),
             QStringLiteral("总击键数: \n总跟打用时(min):\n平均击键:\n平均码长:"));

    reloadStore();
    QCOMPARE(App::TempJilu, 0);
    QCOMPARE(App::Jilu, 0);
    QCOMPARE(App::Totalti, 0.0);
    QCOMPARE(App::Totaljs, 0);

    // The next finished run shows averages from the new totals.
    record.addRun(10.0, 30, 20);
    QCOMPARE(record.averageKeyRateText(), QStringLiteral("3.00"));
    QCOMPARE(record.averageCodeLengthText(), QStringLiteral("1.50"));
}

void TestRecord::storedDayForms()
{
    const QDate d(2024, 3, 10);
    QCOMPARE(TypingRecord::parseDay(TypingRecord::dayText(d)), d);
    QCOMPARE(TypingRecord::parseDay(QStringLiteral("Sun Mar 10 2024")), d);
    QCOMPARE(TypingRecord::parseDay(QStringLiteral("2024-03-10")), d);
    QVERIFY(!TypingRecord::parseDay(QString()).isValid());
    QVERIFY(!TypingRecord::parseDay(QStringLiteral("yesterday")).isValid());
}

QTEST_GUILESS_MAIN(TestRecord)
#include "test_record.moc"
