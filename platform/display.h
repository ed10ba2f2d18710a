#ifndef TAVREL_PLATFORM_DISPLAY_H
#define TAVREL_PLATFORM_DISPLAY_H

namespace platform {
// True when the application runs on an X11 display, where the native window, key and hot-key
// layer can work; false on the offscreen platform used by widget tests.
bool x11Available();
} // namespace platform

#endif
