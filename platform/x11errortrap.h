#ifndef TAVREL_PLATFORM_X11ERRORTRAP_H
#define TAVREL_PLATFORM_X11ERRORTRAP_H

struct _XDisplay;

namespace platform {

// Catches the X errors of one connection while it lives. A stale handle or a grab someone else
// holds makes the server answer with an error, which Xlib's default handler would turn into an
// exit; under a trap the error is only noted. Xlib's handler is process-wide: errors of a
// connection without an open trap go on to whoever handled them before. Traps nest; the
// outermost installs our handler and, after a final sync, puts the previous one back, so no error
// of ours can arrive once it is back. GUI thread only.
class X11ErrorTrap
{
public:
    // Syncs first, so errors of earlier requests still go where they went before.
    explicit X11ErrorTrap(_XDisplay* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // Waits until the server has answered every request so far; true when any of them failed
    // since the trap was opened.
    bool failed();

private:
    _XDisplay* m_display;
    int m_errors = 0;
};

} // namespace platform

#endif
