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

// A window that stands beside the main one: its size, the side its rule gives it, and the least size
// it keeps where it has to give way.
struct SideWindow
{
    QSize size;
    Side side = Side::Right;
    QSize least;
};

// Where side windows of `main` stand, in the order given, each against the main window and the ones
// placed before it, top edges aligned where they stand beside. Off all of them wherever `area` has
// room for its least size: at its own size beside the main window, its own side first, then beside a
// window placed before it; narrowed to the room beside the main window (the side with more of it
// first), then beside a window placed before it; below the main window, then above it, shortened to
// the rows free there.
// Where none has room it lies over the main window, but never over its first `header` rows (its title
// and menu bars), never narrower than its least width, and whole in `area`: as little over the
// windows placed before it, and then over the main window, as it can, lowered and shortened to no
// less than its least height; only where that cannot keep the bars clear is it shortened further.
QVector<QRect> besideMain(const QRect& main, int header, const QVector<SideWindow>& windows, const QRect& area);

// Where a window of `size` stands for typing into `pane`, a pane of the window `main`, while the
// `passage` above it stays in sight; kept inside `area`. Under the pane, its left edge on the pane's,
// one pixel apart, where the area has room; else off the main window: above it, then beside it
// (right, then left); only where none of these has room, over the pane rather than the passage.
QRect under(const QRect& pane, const QSize& size, const QRect& area, const QRect& main, const QRect& passage);

} // namespace ScreenPlace

#endif
