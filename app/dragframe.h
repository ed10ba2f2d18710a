#ifndef TAVREL_DRAGFRAME_H
#define TAVREL_DRAGFRAME_H

#include <QDialog>
#include <QPoint>
#include <QRect>

class QAbstractButton;
class QLabel;
class QMouseEvent;
class QWidget;

// The frame that every frameless window of the trainer shares. Dialogs derive from
// FramelessDialog; windows with another base (a QWidget, or a dialog with drag rules of its own)
// call the free functions from their own handlers and keep their own drag fields.
namespace DragFrame {

// Marks the window for the style sheets (dynamic property "Form"), centres it on the whole
// desktop, makes it frameless and stays-on-top, keeps it on the screen, and draws the window-icon
// and close glyphs.
void initFrame(QWidget* window, QLabel* labIco, QAbstractButton* btnMenuClose);

// x = desktop width / 2 - window width / 2, each half an integer division of its own.
QPoint centredPosition(const QSize& desktop, const QSize& window);
void centreOnDesktop(QWidget* window);

// The available area of the screen nearest to `rect`; an invalid rectangle without a screen.
QRect availableAreaNear(const QRect& rect);

// Drag steps. press() starts a drag on the left button only and returns whether it did;
// move() moves the window while a drag runs and any button is held, and returns whether it did.
bool press(QWidget* window, QMouseEvent* event, QPoint& mousePoint, bool& mousePressed);
bool move(QWidget* window, QMouseEvent* event, const QPoint& mousePoint, bool mousePressed);
void release(bool& mousePressed);

// A shown window that grows (a longer text, another page) moves as little as keeps it whole on
// the screen nearest to it.
void keepOnScreen(QWidget* window);

// For a window with no drag rules of its own: it drags itself by the left mouse button wherever
// its children leave the press to it, without handlers or fields of its own.
void makeDraggable(QWidget* window);

// Escape closes the window unless a child takes the key first.
void closeOnEscape(QWidget* window);

// The designs give fixed sizes measured with a Windows font; the installed one can need more. A
// control of fixed width or height grows to what its text needs (its minimum size hint); its
// design size is the least it keeps. Call it once the window's frame and style are in place.
void growToFit(QWidget* control);

// A window whose body stands below its title bar without a layout of its own: the body takes the
// window's width, and both grow to what the body's layout needs.
void growBodyToFit(QWidget* window, QWidget* titleBar, QWidget* body);

} // namespace DragFrame

// A frameless modal dialog that drags itself by the left mouse button.
class FramelessDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FramelessDialog(QWidget* parent = nullptr);

protected:
    // Sets up the shared frame and lets btnMenu_Close (and btnCancel, where given) close the
    // dialog; closing a shown modal dialog rejects it, so exec() returns 0.
    void initFrame(QLabel* labIco, QAbstractButton* btnMenuClose, QAbstractButton* btnCancel = nullptr);

    // Makes `label` show all of its word-wrapped text: taller for more lines, wider (up to the
    // screen) for a word that cannot be broken, and the dialog grows by as much, staying centred
    // and on screen. The form's sizes are the least a box keeps. An absolutely placed label pushes
    // what stands below it down and widens what reaches its right edge; in a layout the layout
    // hands the extra room on.
    void fitToText(QLabel* label);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    // Hooks for windows that drag with extra rules: whether a drag may move the window now
    // (a maximised window may not), what follows each step (companion windows following), and
    // what follows the end of a drag that moved the window (saving the position: once per drag,
    // as a write on every mouse move would rewrite the settings file dozens of times).
    virtual bool canDrag() const { return true; }
    virtual void windowMoved() {}
    virtual void windowDragged() {}

    QPoint mousePoint;
    bool mousePressed = false;

private:
    bool m_dragMoved = false;
};

#endif
