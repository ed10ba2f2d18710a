#include "app/core/screenplace.h"

#include <QtGlobal>

#include <limits>

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

QRect beside(const QRect& main, const QSize& size, Side side, const QRect& area, int leastWidth)
{
    // Room is judged across only: a window kept inside from above or below stays off the main one.
    const int leftRoom = area.isValid() ? main.left() - area.left() : size.width();
    const int rightRoom = area.isValid() ? area.right() - main.right() : size.width();
    const int asked = side == Side::Left ? leftRoom : rightRoom;
    const int other = side == Side::Left ? rightRoom : leftRoom;
    // The other side only where it has room, or more of it, and the asked one has none.
    const bool switches = asked < size.width() && (other >= size.width() || other > asked);
    const bool onLeft = (side == Side::Left) != switches;
    const int room = qMax(0, switches ? other : asked);
    const int width = qMax(qMin(size.width(), room), qMin(size.width(), leastWidth));
    QRect place(QPoint(0, main.top()), QSize(width, size.height()));
    if (onLeft)
        place.moveRight(main.left() - 1);
    else
        place.moveLeft(main.right() + 1);
    return keptInside(place, area);
}

QRect under(const QRect& anchor, const QSize& size, const QRect& area)
{
    const QRect below(QPoint(anchor.left(), anchor.bottom() + 2), size);
    QRect above(below);
    above.moveBottom(anchor.top() - 2);
    // As input-method windows do: the text being typed stays in sight.
    const bool aboveInstead = area.isValid() && below.bottom() > area.bottom() && above.top() >= area.top();
    return keptInside(aboveInstead ? above : below, area);
}

} // namespace ScreenPlace
