#include "app/core/bounded.h"

#include <QVariant>

#include <cmath>

namespace Bounded {

bool parse(const QString& text, qint64 low, qint64 high, qint64* value)
{
    const QString t = text.trimmed();
    int digitsFrom = (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) ? 1 : 0;
    if (t.size() <= digitsFrom)
        return false;
    for (int i = digitsFrom; i < t.size(); ++i) {
        if (t.at(i) < QLatin1Char('0') || t.at(i) > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    qint64 v = t.toLongLong(&ok);
    if (!ok)
        v = t.startsWith(QLatin1Char('-')) ? LLONG_MIN : LLONG_MAX;
    *value = qBound(low, v, high);
    return true;
}

int toInt(const QVariant& value, int low, int high)
{
    qint64 v = 0;
    switch (value.userType()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return int(qBound(double(low), std::isnan(value.toDouble()) ? 0.0 : value.toDouble(), double(high)));
    case QMetaType::LongLong:
    case QMetaType::Int:
        v = value.toLongLong();
        break;
    case QMetaType::ULongLong:
        v = qint64(qMin(value.toULongLong(), quint64(LLONG_MAX)));
        break;
    default:
        if (!parse(value.toString(), LLONG_MIN, LLONG_MAX, &v))
            v = 0;
        break;
    }
    return int(qBound(qint64(low), v, qint64(high)));
}

double toDouble(const QVariant& value, double low, double high)
{
    const double v = value.toDouble();
    return std::isnan(v) ? qBound(low, 0.0, high) : qBound(low, v, high);
}

} // namespace Bounded
