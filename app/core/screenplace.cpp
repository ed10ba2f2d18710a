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

QRect beside(const QRect& main, const QSize& size, Side side, const QRect& area)
{
    const QRect left(QPoint(main.left() - size.width(), main.top()), size);
    const QRect right(QPoint(main.right() + 1, main.top()), size);
    // Room is judged across only: a window kept inside from above or below stays off the main one.
    const bool leftRoom = !area.isValid() || left.left() >= area.left();
    const bool rightRoom = !area.isValid() || right.right() <= area.right();
    const bool wantsLeft = side == Side::Left;
    // The other side only where it has room and the asked one has none.
    const bool switches = !(wantsLeft ? leftRoom : rightRoom) && (wantsLeft ? rightRoom : leftRoom);
    return keptInside(wantsLeft != switches ? left : right, area);
}

} // namespace ScreenPlace
