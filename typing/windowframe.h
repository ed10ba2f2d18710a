#ifndef TAVREL_TYPING_WINDOWFRAME_H
#define TAVREL_TYPING_WINDOWFRAME_H

#include <QEvent>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QSystemTrayIcon>

#include <functional>

class QMouseEvent;
class QPropertyAnimation;
class Ui_frmMain;
class WindowTray;
class frmMain;

// The frameless main window's own frame: its title bar (the buttons, a double click on the title
// to maximise or restore), dragging it by the body or the title, the fade in and the fading close, its place and
// size limits, the size saved after a resize, and showing and hiding it (tray, boss key).
class WindowFrame : public QObject
{
    Q_OBJECT

public:
    // sendPanelVisible shows or hides the sending-state panel along with the window.
    WindowFrame(frmMain* window, Ui_frmMain* ui, std::function<void(bool)> sendPanelVisible);

    // The configured size and place, the size limits and the fade in.
    void place();
    // The frameless flags and the title bar's icons.
    void styleTitleBar();
    // The title as rich text: a message, an update link.
    void setTitle(const QString& text);

    bool maximised() const { return m_maximised; }
    void toggleMaximised();
    // A second call while the window fades changes nothing.
    void fadeOut();

    void showWindow();
    void hideWindow();
    void bossKey();
    void trayActivated(QSystemTrayIcon::ActivationReason reason, WindowTray* tray);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void saveWindowSize();
    void placeChanged();
    // The title's share of dragging; true where the event goes no further.
    bool titleMouse(QEvent::Type type, QMouseEvent* mouse);
    // One step of a drag: the window moved and its place kept; false where no drag runs.
    bool dragStep(QMouseEvent* mouse);
    void endDrag();

    frmMain* m_window;
    Ui_frmMain* m_ui;
    std::function<void(bool)> m_sendPanelVisible;
    QString m_title; // as given, its links not yet coloured
    QPoint m_dragOffset;
    QPoint m_titlePress; // where a press on the title was, on the screen
    bool m_dragging = false;
    bool m_dragMoved = false;
    bool m_maximised = false;
    QRect m_normalGeometry; // the geometry before the title-bar button maximised the window
    // The window is shown, as the tray and the boss key see it; it is about to be shown by whoever
    // builds it.
    bool m_shown = true;
    QPropertyAnimation* m_fadeIn = nullptr;
    QPropertyAnimation* m_fadeOut = nullptr;
};

#endif
