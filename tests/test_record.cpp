#include "typing/core/record.h"

#include <QtTest>

#include <climits>

namespace {

QDateTime at(int y, int m, int d, int h = 12, int min = 0, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

QString day(int y, int m, int d)
{
    return TypingRecord::dayText(QDate(y, m, d));
}

} // namespace

class TestRecord : public QObject
{
    Q_OBJECT

private:
    QDateTime m_now;
    // The record's values, and what the last save wrote: today/total/keys/seconds/characters.
    int m_today = 0, m_total = 0, m_keys = 0, m_chars = 0;
    double m_seconds = 0.0;
    QString m_firstDay, m_countedDay, m_saved;

    RecordStore store()
    {
        return {
            &m_today, &m_total, &m_seconds, &m_keys, &m_chars, &m_firstDay, &m_countedDay, [this] {
                m_saved =
                    QStringLiteral("%1/%2/%3/%4/%5").arg(m_today).arg(m_total).arg(m_keys).arg(m_seconds).arg(m_chars);
            }};
    }

    TypingRecord::Clock clock()
    {
        return [this] { return m_now; };
    }

private slots:
    void init()
    {
        m_now = at(2024, 3, 10);
        m_today = m_total = m_keys = m_chars = 0;
        m_seconds = 0.0;
        m_firstDay = m_countedDay = m_saved = QString();
    }

    void typingGrowsTodayAndTotal()
    {
        TypingRecord record(store(), clock());
        m_today = 10;
        m_total = 100;
        QVERIFY(record.addTyped(2, 2)); // a two-character word committed
        // Backspace and Escape count 0; a shortened or empty pane must not take anything off either.
        QVERIFY(!record.addTyped(1, 0));
        QVERIFY(!record.addTyped(0, -1));
        QVERIFY(!record.addTyped(0, 1));
        QCOMPARE(QPoint(m_today, m_total), QPoint(12, 102));
        // Counts never wrap round.
        m_total = INT_MAX - 1;
        QVERIFY(record.addTyped(5, 5));
        QCOMPARE(m_total, INT_MAX);
    }

    void rollOver_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QDateTime>("later");
        // The second 00:00:00 itself may never see a tick (busy window, timer drift).
        QTest::addRow("midnight") << at(2024, 3, 10, 23, 59, 58) << at(2024, 3, 11, 0, 0, 1);
        QTest::addRow("suspended three days") << at(2024, 3, 10) << at(2024, 3, 13, 8);
        QTest::addRow("clock set back") << at(2024, 3, 11, 0, 0, 5) << at(2024, 3, 10, 23, 59, 58);
    }

    void rollOver()
    {
        QFETCH(QDateTime, start);
        QFETCH(QDateTime, later);
        m_now = start;
        TypingRecord record(store(), clock());
        record.addTyped(3, 3);
        m_now = start.addSecs(1);
        QVERIFY(!record.tick());
        m_now = later;
        QVERIFY(record.tick());
        QCOMPARE(QPoint(m_today, m_total), QPoint(0, 3));
        QCOMPARE(m_countedDay, TypingRecord::dayText(later.date()));
        // Once per change of date, not on every tick of the new day.
        m_now = later.addSecs(1);
        record.addTyped(1, 1);
        QVERIFY(!record.tick());
        QCOMPARE(m_today, 1);
    }

    // The day check offline (no registration time) and with the server's row.
    void dayCheck_data()
    {
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("day2");
        QTest::addColumn<int>("tempJilu");
        QTest::addColumn<int>("jilu");
        QTest::addColumn<QString>("regTime");
        QTest::addColumn<QString>("gdTime");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("after"); // today's count, first day, counted day
        const QString t = day(2024, 3, 10), y = day(2024, 3, 9), tm = day(2024, 3, 11), f = day(2024, 3, 1), n;
        const QString o = day(2024, 1, 1), synced = QStringLiteral("2024-03-10");
        const qint64 now = at(2024, 3, 10).toSecsSinceEpoch(), d = 24 * 3600;
        const auto ago = [now](qint64 seconds) { return QString::number(now - seconds); };
        const auto a = [](int today, const QString& firstDay, const QString& countedDay) {
            return QStringLiteral("%1|%2|%3").arg(today).arg(firstDay, countedDay);
        };
        // clang-format off
        QTest::addRow("first start") << n << n << 0 << 0 << n << n << 1 << a(0, t, t);
        QTest::addRow("counted day is past") << f << y << 50 << 500 << n << n << 10 << a(0, f, t);
        QTest::addRow("counted day is today") << f << t << 50 << 500 << n << n << 10 << a(50, f, t);
        QTest::addRow("counted ahead keeps count") << f << tm << 50 << 500 << n << n << 10 << a(50, f, tm);
        QTest::addRow("counted day ahead, nothing counted") << f << tm << 0 << 500 << n << n << 10 << a(0, f, t);
        QTest::addRow("empty record starts today") << f << t << 0 << 0 << n << n << 10 << a(0, t, t);
        QTest::addRow("first day ahead counts one day") << tm << t << 5 << 5 << n << n << 1 << a(5, tm, t);
        QTest::addRow("unreadable first day: from today") << "not a day" << t << 5 << 5 << n << n << 1 << a(5, t, t);
        QTest::addRow("missing counted day") << f << n << 5 << 5 << n << n << 10 << a(0, f, t);
        QTest::addRow("synced today keeps it") << o << o << 40 << 4000 << ago(2 * d + 1) << synced << 3 << a(40, o, t);
        QTest::addRow("synced earlier resets") << o << o << 40 << 4000 << ago(2 * d) << "2024-03-09" << 2 << a(0, o, t);
        QTest::addRow("not read resets") << o << o << 40 << 4000 << ago(5 * d + 1) << n << 6 << a(0, o, t);
        QTest::addRow("registered right now") << o << o << 40 << 4000 << ago(0) << synced << 1 << a(40, o, t);
        QTest::addRow("registered in the future") << o << o << 40 << 4000 << ago(-3 * d) << synced << 1 << a(40, o, t);
        // No registration time known (a NULL column reads as 0): the local record's days, never the days since 1970.
        QTest::addRow("registered at 0") << o << o << 40 << 4000 << "0" << synced << 70 << a(0, o, t);
        QTest::addRow("registered before 1970") << o << o << 40 << 4000 << "-9223372036854775808" << n << 70 << a(0, o, t);
        QTest::addRow("registration not a number") << o << t << 40 << 4000 << "12ab" << synced << 70 << a(40, o, t);
        // Out of any sane range: clamped before the arithmetic, never wrapped.
        QTest::addRow("beyond the present") << o << o << 40 << 4000 << "99999999999999999999" << n << 1 << a(0, o, t);
        // clang-format on
    }

    void dayCheck()
    {
        QFETCH(QString, day);
        QFETCH(QString, day2);
        QFETCH(int, tempJilu);
        QFETCH(int, jilu);
        QFETCH(QString, regTime);
        QFETCH(QString, gdTime);
        m_firstDay = day;
        m_countedDay = day2;
        m_today = tempJilu;
        m_total = jilu;
        TypingRecord record(store(), clock());
        QCOMPARE(record.recordDays(), 1); // before any day check: never a division by 0
        record.checkDay(regTime, gdTime);
        QTEST(record.recordDays(), "days");
        QCOMPARE(m_total, jilu);
        QVERIFY(!m_saved.isEmpty()); // saved at once
        QTEST(QStringLiteral("%1|%2|%3").arg(m_today).arg(m_firstDay, m_countedDay), "after");
        // Today's count belongs to today now, so a later day check offline keeps it.
        const int kept = m_today;
        record.checkDay();
        QCOMPARE(m_today, kept);
    }

    void recordLabel()
    {
        m_firstDay = day(2024, 3, 8);
        m_countedDay = day(2024, 3, 10);
        m_today = 10;
        m_total = 1000;
        TypingRecord record(store(), clock());
        record.checkDay();
        QCOMPARE(record.recordLabelText(), QStringLiteral("打字记录: 10/1000/3天"));
        QCOMPARE(record.recordToolTip(),
                 QStringLiteral("今日跟打:10字\n总跟打数:1000字\n记录天数:3天\n平均每天:333字"));
        QCOMPARE(record.syncDateText(), QStringLiteral("2024-03-10"));
        // The per-day figure is written with six significant digits at most.
        m_total = 12345678;
        QVERIFY(record.recordToolTip().endsWith(QStringLiteral("平均每天:4.11523e+06字")));
    }

    void totalsAndClearing()
    {
        TypingRecord record(store(), clock());
        // Nothing finished yet: the averages have no value to show.
        record.refreshTotals();
        QCOMPARE(record.averageKeyRateButtonText() + record.averageCodeLengthButtonText(),
                 QStringLiteral("平均击键: 平均码长: "));

        record.addRun(60.0, 450, 150);
        record.addRun(40.0, 250, 100);
        QCOMPARE(record.averageKeyRateButtonText() + record.averageCodeLengthButtonText(),
                 QStringLiteral("平均击键: 7.00平均码长: 2.80"));
        QCOMPARE(record.totalsToolTip(),
                 QStringLiteral("总击键数: 700\n总跟打用时(min):1.67\n平均击键:7.00\n平均码长:2.80"));
        QCOMPARE(m_saved, QStringLiteral("0/0/700/100/250"));

        // Clearing the counts leaves the run totals; clearing the totals leaves the average texts
        // until the next run, a refresh on zero totals too rather than dividing by them.
        m_today = 30;
        m_total = 300;
        record.clearCounts();
        QCOMPARE(m_keys, 700);
        record.clearTotals();
        record.refreshTotals();
        QCOMPARE(record.averageKeyRateText() + record.averageCodeLengthText(), QStringLiteral("7.002.80"));
        QCOMPARE(m_saved, QStringLiteral("0/0/0/0/0"));
        record.addRun(10.0, 30, 20);
        QCOMPARE(record.averageKeyRateText() + record.averageCodeLengthText(), QStringLiteral("3.001.50"));
    }

    void storedDayForms()
    {
        const QDate d(2024, 3, 10);
        QCOMPARE(TypingRecord::parseDay(QStringLiteral("Sun Mar 10 2024")), d);
        QCOMPARE(TypingRecord::parseDay(QStringLiteral("2024-03-10")), d);
        QVERIFY(!TypingRecord::parseDay(QString()).isValid());
        QVERIFY(!TypingRecord::parseDay(QStringLiteral("yesterday")).isValid());
    }
};

QTEST_GUILESS_MAIN(TestRecord)
#include "test_record.moc"
