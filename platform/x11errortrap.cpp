#include "platform/x11errortrap.h"

#include <utility>
#include <vector>

#include <X11/Xlib.h>

namespace platform {

namespace {

// The connection and error count of every open trap, innermost last.
std::vector<std::pair<Display*, int*>> s_openTraps;
XErrorHandler s_previousHandler = nullptr;

int trapError(Display* display, XErrorEvent* event)
{
    bool trapped = false;
    for (const auto& [trapDisplay, errors] : s_openTraps) {
        if (trapDisplay == display) {
            ++*errors;
            trapped = true;
        }
    }
    if (trapped)
        return 0;
    return s_previousHandler ? s_previousHandler(display, event) : 0;
}

} // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : m_display(display)
{
    XSync(m_display, False);
    if (s_openTraps.empty())
        s_previousHandler = XSetErrorHandler(trapError);
    s_openTraps.emplace_back(m_display, &m_errors);
}

X11ErrorTrap::~X11ErrorTrap()
{
    XSync(m_display, False);
    s_openTraps.pop_back();
    if (s_openTraps.empty()) {
        XSetErrorHandler(s_previousHandler);
        s_previousHandler = nullptr;
    }
}

bool X11ErrorTrap::failed()
{
    XSync(m_display, False);
    return m_errors != 0;
}

} // namespace platform
