#include "platform/display.h"

#include <QGuiApplication>

namespace platform {
bool x11Available()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}
} // namespace platform
