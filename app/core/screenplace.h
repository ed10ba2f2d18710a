#ifndef TAVREL_SCREENPLACE_H
#define TAVREL_SCREENPLACE_H

#include <QRect>
#include <QSize>
#include <QVector>

// Keeping a window on a screen. The area is passed in (a screen's available area, or the whole
// desktop) so the rule is tested without a screen.
namespace ScreenPlace {

// `rect` moved the least distance that puts it whole inside `area`; a rectangle that fits stays
// where it is. One larger than the area keeps its left and top edges on it. An invalid area moves
// nothing.
QRect keptInside(QRect rect, const QRect& area);

// The index of the area nearest to `rect`: the one holding its centre, else the one closest to
// it; -1 when there is none.
int nearest(const QRect& rect, const QVector<QRect>& areas);

enum class Side { Left, Right };

// Where a window of `size` stands beside `main`, top edges aligned: on `side` when it fits whole in
// `area` there, else on the other side when it fits there, else on `side` kept inside the area
// (over the main window, as nowhere else has room).
QRect beside(const QRect& main, const QSize& size, Side side, const QRect& area);

} // namespace ScreenPlace

#endif
