#ifndef TAVREL_SENDING_FWSTATE_H
#define TAVREL_SENDING_FWSTATE_H

#include <QPoint>
#include <QScopedPointer>
#include <QWidget>

#include "app/core/screenplace.h"

namespace Ui {
class Fwstate;
}

// The sending-state panel "发文状态": beside the main window, the text being sent, the current
// segment, the characters sent and left and the progress; its one command stops cutting segments.
// App::FwstateOpen is true exactly while a panel exists.
class Fwstate : public QWidget
{
    Q_OBJECT

public:
    explicit Fwstate(QWidget* parent = nullptr);
    ~Fwstate() override;

signals:
    // "停止发文": the cycle goes on without a segment length; the panel has closed itself.
    void stopRequested();

public slots:
    void recvstate(const QString& title, const QString& header, const QString& fullText, const QString& sentSoFar);
    // Follows the main window: to its left, top edges aligned, or to its right where that has more room.
    void recvzbgb(const int& x, const int& y);

private slots:
    void on_button_clicked();

protected:

private:
    const QScopedPointer<Ui::Fwstate> m_ui;
};

// Puts a window of `size` beside the main window by ScreenPlace::beside: on `side` where the screen
// has room, narrowed down to `leastWidth` where neither side has.
void placeBesideMainWindow(QWidget* window, ScreenPlace::Side side, const QSize& size, int leastWidth);

#endif
