#include "sending/core/curvedata.h"

#include <QStringList>

CurvePoints curvePoints(const QString& speeds)
{
    CurvePoints points;
    QStringList items = speeds.split(QLatin1Char(' '));
    while (!items.isEmpty() && items.last().isEmpty())
        items.removeLast();
    for (int i = 0; i < items.size(); ++i) {
        bool ok = false;
        // Whole numbers as the curve shows them; a sample written with decimals is cut, not lost.
        const double value = items.at(i).toDouble(&ok);
        points.x << i;
        points.y << (ok && qIsFinite(value) ? double(qint64(value)) : 0.0);
    }
    return points;
}
