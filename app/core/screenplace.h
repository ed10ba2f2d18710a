#ifndef TAVREL_SCREENPLACE_H
#define TAVREL_SCREENPLACE_H

#include <QRect>

// Keeping a window on a screen. The area is passed in (a screen's available area, or the whole
// desktop) so the rule is tested without a screen.
namespace ScreenPlace {

// `rect` moved the least distance that puts it whole inside `area`; a rectangle that fits stays
// where it is. One larger than the area keeps its left and top edges on it. An invalid area moves
// nothing.
QRect keptInside(QRect rect, const QRect& area);

} // namespace ScreenPlace

#endif
