#include "typing/core/record.h"

#include "app/core/bounded.h"
#include "typing/core/results.h"

#include <QLocale>

#include <climits>
#include <cmath>
#include <utility>

namespace {

// Growth only: a negative amount never lowers a count, and a count never wraps round.
int saturatingAdd(int a, int b)
{
    if (b <= 0)
        return a;
    return a > INT_MAX - b ? INT_MAX : a + b;
}

const QString kLineBreak = QStringLiteral("\n");

} // namespace

TypingRecord::TypingRecord(RecordStore store, Clock clock) : m_store(std::move(store)), m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTime(); };
    m_lastDate = today();
}

void TypingRecord::save() const
{
    if (m_store.save)
        m_store.save();
}

QDateTime TypingRecord::now() const
{
    return m_clock();
}

QDate TypingRecord::today() const
{
    return now().date();
}

QString TypingRecord::dayText(const QDate& date)
{
    return date.toString(Qt::TextDate);
}

QDate TypingRecord::parseDay(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QDate();
    QDate d = QDate::fromString(t, Qt::TextDate);
    if (!d.isValid())
        d = QLocale::c().toDate(t, QStringLiteral("ddd MMM d yyyy"));
    if (!d.isValid())
        d = QDate::fromString(t, Qt::ISODate);
    return d;
}

bool TypingRecord::addTyped(int paneLength, int commitLength)
{
    if (paneLength <= 0 || commitLength <= 0)
        return false;
    *m_store.todayChars = saturatingAdd(*m_store.todayChars, commitLength);
    *m_store.totalChars = saturatingAdd(*m_store.totalChars, commitLength);
    return true;
}

void TypingRecord::addRun(double seconds, int keys, int chars)
{
    if (seconds > 0)
        *m_store.runSeconds += seconds;
    *m_store.runKeys = saturatingAdd(*m_store.runKeys, keys);
    *m_store.runChars = saturatingAdd(*m_store.runChars, chars);
    save();
    refreshTotals();
}

void TypingRecord::checkDay(const QString& regTime, const QString& gdTime)
{
    const QDateTime moment = now();
    const QDate day = moment.date();
    m_lastDate = day;

    // The server's value is clamped before the arithmetic, to the year 9999. A time at or before 1970
    // is no registration: the driver reads a NULL column as 0, which would count every day since.
    qint64 registered = 0;
    const bool regOk = Bounded::parse(regTime, LLONG_MIN, 253402300799, &registered) && registered > 0;
    if (regOk) {
        // Days since the remote registration, rounded up; a registration at or after the present
        // (clock skew with the server) still counts as one day.
        const double days = std::ceil(double(moment.toSecsSinceEpoch() - registered) / 3600.0 / 24.0);
        m_recordDays = days < 1.0 ? 1 : (days > INT_MAX ? INT_MAX : int(days));
        if (gdTime.trimmed() != day.toString(QStringLiteral("yyyy-MM-dd")))
            *m_store.todayChars = 0;
        // Either way today's count now belongs to today, so a later day check without the remote
        // row does not take it for an old day's.
        *m_store.countedDay = dayText(day);
    } else {
        QDate first = parseDay(*m_store.firstDay);
        if (!first.isValid()) {
            // An unreadable first day cannot count days; the record counts from today.
            first = day;
            *m_store.firstDay = dayText(day);
        }
        const qint64 days = 1 + first.daysTo(day);
        m_recordDays = days < 1 ? 1 : (days > INT_MAX ? INT_MAX : int(days));

        const QDate counted = parseDay(*m_store.countedDay);
        if (!counted.isValid() || counted < day) {
            *m_store.todayChars = 0;
            *m_store.countedDay = dayText(day);
        } else if (*m_store.todayChars == 0) {
            *m_store.countedDay = dayText(day);
        }
        if (*m_store.totalChars == 0)
            *m_store.firstDay = dayText(day); // a new record starts today
    }
    save();
    refreshTotals();
}

bool TypingRecord::tick()
{
    const QDate day = today();
    if (day == m_lastDate)
        return false;
    m_lastDate = day;
    *m_store.todayChars = 0;
    *m_store.countedDay = dayText(day);
    save();
    return true;
}

void TypingRecord::clearCounts()
{
    *m_store.todayChars = 0;
    *m_store.totalChars = 0;
    save();
}

void TypingRecord::clearTotals()
{
    *m_store.runSeconds = 0.0;
    *m_store.runKeys = 0;
    *m_store.runChars = 0;
    save();
}

void TypingRecord::refreshTotals()
{
    if (*m_store.runSeconds > 0)
        m_averageKeyRateText = QString::number(*m_store.runKeys / *m_store.runSeconds, 'f', 2);
    if (*m_store.runChars > 0)
        m_averageCodeLengthText = QString::number(double(*m_store.runKeys) / *m_store.runChars, 'f', 2);
}

void TypingRecord::forgetAverages()
{
    m_averageKeyRateText.clear();
    m_averageCodeLengthText.clear();
}

int TypingRecord::perDayAverage() const
{
    return *m_store.totalChars / (m_recordDays > 0 ? m_recordDays : 1);
}

QString TypingRecord::syncDateText() const
{
    return today().toString(QStringLiteral("yyyy-MM-dd"));
}

QString TypingRecord::recordLabelText(int moreChars) const
{
    return QStringLiteral("打字记录: ") + QString::number(saturatingAdd(*m_store.todayChars, moreChars)) +
           QLatin1Char('/') + QString::number(saturatingAdd(*m_store.totalChars, moreChars)) + QLatin1Char('/') +
           QString::number(m_recordDays) + QStringLiteral("天");
}

QString TypingRecord::recordToolTip() const
{
    return QStringLiteral("今日跟打:") + QString::number(*m_store.todayChars) + QStringLiteral("字") + kLineBreak +
           QStringLiteral("总跟打数:") + QString::number(*m_store.totalChars) + QStringLiteral("字") + kLineBreak +
           QStringLiteral("记录天数:") + QString::number(m_recordDays) + QStringLiteral("天") + kLineBreak +
           QStringLiteral("平均每天:") + QString::number(double(perDayAverage()), 'g', 6) + QStringLiteral("字");
}

QString TypingRecord::averageKeyRateButtonText() const
{
    return QStringLiteral("平均击键: ") + m_averageKeyRateText;
}

QString TypingRecord::averageCodeLengthButtonText() const
{
    return QStringLiteral("平均码长: ") + m_averageCodeLengthText;
}

QString TypingRecord::totalsToolTip() const
{
    return QStringLiteral("总击键数: ") + QString::number(*m_store.runKeys) + kLineBreak +
           QStringLiteral("总跟打用时(min):") + QString::number(*m_store.runSeconds / 60, 'f', 2) + kLineBreak +
           QStringLiteral("平均击键:") + m_averageKeyRateText + kLineBreak + QStringLiteral("平均码长:") +
           m_averageCodeLengthText;
}

QString TypingRecord::clearedRecordLabelText()
{
    return QStringLiteral("打字记录: ");
}

QStringList TypingRecord::clearedResultBarTexts()
{
    return resultButtonTexts(QStringList())
           << QStringLiteral("平均击键:") << QStringLiteral("平均码长:") << TheoreticalLengthCaption;
}

QString TypingRecord::clearedTotalsToolTip()
{
    return QStringLiteral("总击键数: ") + kLineBreak + QStringLiteral("总跟打用时(min):") + kLineBreak +
           QStringLiteral("平均击键:") + kLineBreak + QStringLiteral("平均码长:");
}
