#ifndef TAVREL_SENDING_CURVEDATA_H
#define TAVREL_SENDING_CURVEDATA_H

#include <QString>
#include <QVector>

// The points of the speed curve from a speed history text ("312 305 298 ", one sample and one blank
// each): x is the sample's index, y its whole-number value (0 when it is not a number). The empty
// items after the last sample are no samples, so they give no points.
struct CurvePoints
{
    QVector<double> x;
    QVector<double> y;
    int count() const { return x.size(); }
};
CurvePoints curvePoints(const QString& speeds);

#endif
