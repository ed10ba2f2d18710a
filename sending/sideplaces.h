#ifndef TAVREL_SENDING_SIDEPLACES_H
#define TAVREL_SENDING_SIDEPLACES_H

class QWidget;

// The main window's side windows, the sending-state panel and the speed curve, stand around it by
// one rule (ScreenPlace::besideMain): the panel first, then the curve against the main window and
// the panel. The main window is read from the globals App::X, App::Y, App::Width and App::Height.
namespace SidePlaces {

// The widget whose bottom edge ends the main window's bars (its menu bar, below its title bar):
// no side window covers it or what stands above it.
void setMainBars(QWidget* bars);

// Places every shown side window, and `opening`, about to be shown.
void place(QWidget* opening = nullptr);

} // namespace SidePlaces

#endif
