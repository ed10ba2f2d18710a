#include "app/core/screenplace.h"

#include <QtGlobal>

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

} // namespace ScreenPlace
