#include "sending/sideplaces.h"

#include "app/core/app.h"
#include "app/core/screenplace.h"
#include "app/dragframe.h"
#include "sending/fwstate.h"
#include "sending/quxian.h"

#include <QApplication>
#include <QPointer>

namespace SidePlaces {

namespace {

QPointer<QWidget> mainBars;

template <class Window> Window* sideWindow(QWidget* opening)
{
    if (auto* window = qobject_cast<Window*>(opening))
        return window;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* widget : windows) {
        auto* window = qobject_cast<Window*>(widget);
        if (window && window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace

void setMainBars(QWidget* bars)
{
    mainBars = bars;
}

void place(QWidget* opening)
{
    const QRect main(App::X, App::Y, App::Width, App::Height);
    int header = 0;
    if (mainBars && mainBars->isVisible())
        header = mainBars->mapTo(mainBars->window(), QPoint(0, mainBars->height())).y();
    QVector<QWidget*> windows;
    QVector<ScreenPlace::SideWindow> sizes;
    // Its fields stand at fixed places: the panel gives way only where nothing else keeps the main
    // window's bars clear.
    if (Fwstate* panel = sideWindow<Fwstate>(opening)) {
        windows << panel;
        sizes << ScreenPlace::SideWindow{panel->sizeHint(), ScreenPlace::Side::Left, panel->sizeHint()};
    }
    // As large as the main window where the screen has room; else as small as its axes and its
    // check boxes allow.
    if (quxian* curve = sideWindow<quxian>(opening)) {
        curve->ensurePolished();
        windows << curve;
        sizes << ScreenPlace::SideWindow{QSize(App::Width, App::Height), ScreenPlace::Side::Right,
                                         curve->minimumSizeHint()};
    }
    const QVector<QRect> places = ScreenPlace::besideMain(main, header, sizes, DragFrame::availableAreaNear(main));
    for (int i = 0; i < windows.size(); ++i)
        windows.at(i)->setGeometry(places.at(i));
}

} // namespace SidePlaces
