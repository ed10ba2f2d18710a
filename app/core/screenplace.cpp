#include "app/core/screenplace.h"

#include <QtGlobal>

#include <limits>
#include <tuple>

namespace ScreenPlace {

QRect keptInside(QRect rect, const QRect& area)
{
    if (!area.isValid())
        return rect;
    // The far edges first, then the near ones, so the left and top edges win when it is too large.
    rect.moveLeft(qMax(area.left(), qMin(rect.left(), area.right() + 1 - rect.width())));
    rect.moveTop(qMax(area.top(), qMin(rect.top(), area.bottom() + 1 - rect.height())));
    return rect;
}

int nearest(const QRect& rect, const QVector<QRect>& areas)
{
    const QPoint centre = rect.center();
    int best = -1;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (int i = 0; i < areas.size(); ++i) {
        const QRect& area = areas.at(i);
        const qint64 dx = qMax(0, qMax(area.left() - centre.x(), centre.x() - area.right()));
        const qint64 dy = qMax(0, qMax(area.top() - centre.y(), centre.y() - area.bottom()));
        const qint64 distance = dx * dx + dy * dy;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

namespace {

bool inside(const QRect& rect, const QRect& area)
{
    return !area.isValid() || area.contains(rect);
}

qint64 overlap(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

QRect keptAcross(QRect rect, const QRect& area)
{
    rect.moveLeft(keptInside(rect, area).left());
    return rect;
}

QRect keptDown(QRect rect, const QRect& area)
{
    rect.moveTop(keptInside(rect, area).top());
    return rect;
}

Side otherSide(Side side)
{
    return side == Side::Left ? Side::Right : Side::Left;
}

// One side window among the main window and the windows placed before it.
class SidePlacing
{
public:
    SidePlacing(const QRect& main, int header, const SideWindow& window, const QVector<QRect>& placed,
                const QRect& area)
        : m_main(main), m_bars(main.left(), main.top(), main.width(), qBound(0, header, main.height())),
          m_window(window), m_placed(placed), m_area(area)
    {
    }

    QRect place() const
    {
        const Side sides[] = {m_window.side, otherSide(m_window.side)};
        const int width = m_window.size.width();
        QVector<QRect> anchors{m_main};
        anchors += m_placed;
        for (const QRect& of : anchors) {
            for (const Side side : sides) {
                const QRect rect = besideOf(of, side, width);
                if (isClear(rect))
                    return rect;
            }
        }
        // No room for its own size beside them: as much of it as the room there takes, down to its
        // least size, before it covers anything the user works in.
        for (const Side side : sidesByRoom(true)) {
            const QRect rect = narrowedBeside(m_main, side);
            if (!rect.isNull())
                return rect;
        }
        for (const QRect& other : m_placed) {
            for (const Side side : sides) {
                const QRect rect = narrowedBeside(other, side);
                if (!rect.isNull())
                    return rect;
            }
        }
        for (const bool below : {true, false}) {
            const QRect rect = offEnd(below);
            if (!rect.isNull())
                return rect;
        }
        return overMain();
    }

private:
    // Its top edge on that of `of` where the area lets it, as tall as it is where the area has room.
    QRect besideOf(const QRect& of, Side side, int width) const
    {
        const int height = m_area.isValid() ? qMin(m_window.size.height(), m_area.height()) : m_window.size.height();
        QRect rect(QPoint(0, of.top()), QSize(width, height));
        if (side == Side::Left)
            rect.moveRight(of.left() - 1);
        else
            rect.moveLeft(of.right() + 1);
        return keptDown(rect, m_area);
    }

    bool isClear(const QRect& rect) const
    {
        if (!inside(rect, m_area) || rect.intersects(m_main))
            return false;
        for (const QRect& other : m_placed) {
            if (rect.intersects(other))
                return false;
        }
        return true;
    }

    // The free width beside `of`, in the rows a window beside it takes, up to the area's edge and
    // the main window and, with `fenced`, up to the first window placed before it.
    int roomBeside(const QRect& of, Side side, bool fenced) const
    {
        const QRect rows = besideOf(of, side, 1);
        const int far =
            side == Side::Right ? std::numeric_limits<int>::max() / 2 : -std::numeric_limits<int>::max() / 2;
        int edge = m_area.isValid() ? (side == Side::Right ? m_area.right() + 1 : m_area.left() - 1) : far;
        QVector<QRect> others{m_main};
        if (fenced)
            others += m_placed;
        for (const QRect& other : others) {
            if (other == of || other.top() > rows.bottom() || other.bottom() < rows.top())
                continue;
            if (side == Side::Right && other.right() > of.right())
                edge = qMin(edge, qMax(other.left(), of.right() + 1));
            else if (side == Side::Left && other.left() < of.left())
                edge = qMax(edge, qMin(other.right(), of.left() - 1));
        }
        return qMax(0, side == Side::Right ? edge - of.right() - 1 : of.left() - 1 - edge);
    }

    QVector<Side> sidesByRoom(bool fenced) const
    {
        const Side own = m_window.side;
        if (roomBeside(m_main, otherSide(own), fenced) > roomBeside(m_main, own, fenced))
            return {otherSide(own), own};
        return {own, otherSide(own)};
    }

    // Beside `of`, narrowed to the room there; null where that is less than its least width.
    QRect narrowedBeside(const QRect& of, Side side) const
    {
        const int room = roomBeside(of, side, true);
        if (room < m_window.least.width())
            return QRect();
        const QRect rect = besideOf(of, side, qMin(room, m_window.size.width()));
        return isClear(rect) ? rect : QRect();
    }

    // Below or above the main window, its left edge on the main window's where the area lets it,
    // shortened to the rows free there; null where that is less than its least height.
    QRect offEnd(bool below) const
    {
        const int width = widthOnArea();
        const QRect columns = keptAcross(QRect(m_main.left(), 0, width, 1), m_area);
        const int start = below ? m_main.bottom() + 1 : m_main.top() - 1; // the row next to the main window
        int edge = below ? start + m_window.size.height() : start - m_window.size.height();
        if (m_area.isValid())
            edge = below ? qMin(edge, m_area.bottom() + 1) : qMax(edge, m_area.top() - 1);
        for (const QRect& other : m_placed) {
            if (other.right() < columns.left() || other.left() > columns.right())
                continue;
            if (below && other.bottom() >= start)
                edge = qMin(edge, qMax(other.top(), start));
            else if (!below && other.top() <= start)
                edge = qMax(edge, qMin(other.bottom(), start));
        }
        const int height = below ? edge - start : start - edge;
        if (height < qMax(1, m_window.least.height()))
            return QRect();
        const QRect rect(columns.left(), below ? start : edge + 1, width, height);
        return isClear(rect) ? rect : QRect();
    }

    // Its own width, or the area's where that is less.
    int widthOnArea() const
    {
        return m_area.isValid() ? qMin(m_window.size.width(), m_area.width()) : m_window.size.width();
    }

    // Against the main window's bottom or top edge at its least height, moved over the main window
    // only as far as the area makes it: where few rows are free there, it covers little.
    QRect leastOffEnd(bool below) const
    {
        QRect rect(m_main.left(), 0, widthOnArea(), m_window.least.height());
        if (below)
            rect.moveTop(m_main.bottom() + 1);
        else
            rect.moveBottom(m_main.top() - 1);
        return keptInside(rect, m_area);
    }

    // No place off the main window: the least cover that keeps its bars clear.
    QRect overMain() const
    {
        struct Choice
        {
            QRect rect;
            bool coversBars;
            bool shortened; // below its least height
            qint64 overPlaced;
            qint64 overMain;
        };
        QVector<Choice> choices;
        // Lowered below the bars at its least height or more, and where that still covers them,
        // shortened to the rows below them: never narrowed, its title bar and close button whole.
        const auto consider = [&](const QRect& rect) {
            for (const int leastHeight : {m_window.least.height(), 0}) {
                const QRect kept = lowered(rect, leastHeight);
                if (kept.isEmpty() && leastHeight == 0)
                    continue;
                qint64 overPlaced = 0;
                for (const QRect& other : m_placed)
                    overPlaced += overlap(kept, other);
                choices.append({kept, kept.intersects(m_bars), kept.height() < m_window.least.height(), overPlaced,
                                overlap(kept, m_main)});
            }
        };
        const QSize size = m_window.size;
        for (const Side side : sidesByRoom(false)) {
            const int width = qMin(size.width(), qMax(roomBeside(m_main, side, false), m_window.least.width()));
            consider(keptInside(besideOf(m_main, side, width), m_area));
        }
        consider(keptInside(QRect(QPoint(m_main.left(), m_main.bottom() + 1), size), m_area));
        for (const bool below : {true, false})
            consider(leastOffEnd(below));
        const auto rank = [](const Choice& c) {
            return std::make_tuple(c.coversBars, c.shortened, c.overPlaced, c.overMain);
        };
        const Choice* best = &choices.first();
        for (const Choice& choice : choices) {
            if (rank(choice) < rank(*best))
                best = &choice;
        }
        return best->rect;
    }

    // Moved below the main window's bars where it would cover them, shortened to the room below them
    // down to `leastHeight`, and kept on the area.
    QRect lowered(QRect rect, int leastHeight) const
    {
        if (m_bars.isEmpty() || !rect.intersects(m_bars))
            return rect;
        rect.moveTop(m_bars.bottom() + 1);
        const int room = m_area.isValid() ? m_area.bottom() + 1 - rect.top() : rect.height();
        rect.setHeight(qMax(leastHeight, qMin(m_window.size.height(), room)));
        return keptInside(rect, m_area);
    }

    QRect m_main;
    QRect m_bars;
    SideWindow m_window;
    const QVector<QRect>& m_placed;
    QRect m_area;
};

} // namespace

QVector<QRect> besideMain(const QRect& main, int header, const QVector<SideWindow>& windows, const QRect& area)
{
    QVector<QRect> placed;
    for (const SideWindow& window : windows)
        placed.append(SidePlacing(main, header, window, placed, area).place());
    return placed;
}

QRect under(const QRect& pane, const QSize& size, const QRect& area, const QRect& main, const QRect& passage)
{
    // As input-method windows do: the text being typed stays in sight, and so does the passage it follows.
    const QRect below = keptAcross(QRect(QPoint(pane.left(), pane.bottom() + 2), size), area);
    if (!area.isValid() || below.bottom() <= area.bottom())
        return below;
    // The pane lies in the main window: no room below the pane is no room below the window either.
    QRect aboveMain(below);
    aboveMain.moveBottom(main.top() - 2);
    if (aboveMain.top() >= area.top())
        return aboveMain;
    QRect right = keptDown(QRect(QPoint(main.right() + 2, pane.top()), size), area);
    if (right.right() <= area.right())
        return right;
    QRect left(right);
    left.moveRight(main.left() - 2);
    if (left.left() >= area.left())
        return left;
    const int top = passage.isValid() ? passage.bottom() + 2 : pane.top();
    return keptInside(QRect(QPoint(pane.left(), top), size), area);
}

} // namespace ScreenPlace
