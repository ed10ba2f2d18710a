#ifndef TAVREL_TYPING_WINDOWTRAY_H
#define TAVREL_TYPING_WINDOWTRAY_H

#include <QObject>

class QMenu;
class QSystemTrayIcon;
class frmMain;

// The main window's tray icon and its menu ("还原", "最小化", "退出"), each calling a public slot
// of the window. The window hides to the tray: the program ends only by the close button or the
// tray's exit, never because no window is left on screen.
class WindowTray : public QObject
{
    Q_OBJECT

public:
    explicit WindowTray(frmMain* window);

    // The balloon with the maker's notice.
    void showNotice();

private:
    QMenu* m_menu;
    QSystemTrayIcon* m_icon;
};

#endif
