#include "app/elidingcombobox.h"

#include "app/core/screenplace.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QScreen>
#include <QStylePainter>
#include <QToolTip>

ElidingComboBox::ElidingComboBox(QWidget* parent) : QComboBox(parent)
{
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
}

QString ElidingComboBox::shownText() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // Some styles draw the label a pixel in from each side of the field.
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, field.width() - 2);
}

void ElidingComboBox::showPopup()
{
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    const int whole = view()->sizeHintForColumn(0) + popup->width() - view()->viewport()->width();
    if (whole <= popup->width() || !popup->screen())
        return;
    const QRect screen = popup->screen()->availableGeometry();
    QRect place = popup->geometry();
    place.setWidth(qMin(whole, screen.width()));
    popup->setGeometry(ScreenPlace::keptInside(place, screen));
}

bool ElidingComboBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && shownText() != currentText()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), currentText(), this);
        return true;
    }
    return QComboBox::event(event);
}

void ElidingComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
