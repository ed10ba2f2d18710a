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

// Where a window of `size` stands beside `main`, top edges aligned, kept inside `area`: on `side`
// when it fits whole there, else on the other side when it fits there. Where neither has room, on
// the side with more (`side` when they are equal), narrowed to that room but to no less than
// `leastWidth`; only a window that cannot narrow so far lies over the main window, by as little as
// it can.
QRect beside(const QRect& main, const QSize& size, Side side, const QRect& area, int leastWidth);

// Where a window of `size` stands under `anchor`, its left edge on the anchor's, one pixel apart,
// kept inside `area`; just above it instead where the area has no room below and room above.
QRect under(const QRect& anchor, const QSize& size, const QRect& area);

} // namespace ScreenPlace

#endif
