#ifndef TAVREL_WINDOWCHECK_H
#define TAVREL_WINDOWCHECK_H

// What a user sees of a window: every visible control whole, at least its minimum size, and its
// text unclipped. A control that passes size() and isVisible() can still show 11 px of itself.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include "app/switchbutton.h"
#include "testsupport.h"

namespace ts {

namespace detail {

// Empty when `has` holds `needed`, else what does not fit.
inline QString tooSmall(const QWidget* w, const QString& what, const QSize& needed, const QSize& has)
{
    if (needed.width() <= has.width() && needed.height() <= has.height())
        return QString();
    return QStringLiteral("%1: %2 needs %3x%4, has %5x%6")
        .arg(controlName(w), what)
        .arg(needed.width())
        .arg(needed.height())
        .arg(has.width())
        .arg(has.height());
}

inline QString cutText(const QWidget* w, const QString& text, const QRect& room)
{
    const QFontMetrics metrics(w->font());
    return text.isEmpty() ? QString()
                          : tooSmall(w, QLatin1Char('"') + text + QLatin1Char('"'),
                                     QSize(metrics.horizontalAdvance(text), metrics.height()), room.size());
}

inline QString cutLabel(const QLabel* label)
{
    if (label->text().isEmpty() || label->pixmap() || label->movie())
        return QString();
    if (label->wordWrap())
        return tooSmall(label, QStringLiteral("wrapped text"), QSize(0, label->heightForWidth(label->width())),
                        label->size());
    return tooSmall(label, QLatin1Char('"') + label->text() + QLatin1Char('"'), label->sizeHint(), label->size());
}

inline QString cutButton(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button))
        contents = QStyle::SE_RadioButtonContents;
    else if (!qobject_cast<const QPushButton*>(button))
        return cutText(button, button->text(), button->contentsRect());
    QRect room = button->style()->subElementRect(contents, &option, button);
    if (!button->icon().isNull() && contents == QStyle::SE_PushButtonContents)
        room.setWidth(room.width() - button->iconSize().width() - 4);
    return cutText(button, QString(button->text()).remove(QLatin1Char('&')), room);
}

inline QRect lineEditRoom(const QLineEdit* edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    // QLineEdit keeps two pixels beside its text on each side.
    return edit->style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
        .marginsRemoved(edit->textMargins())
        .adjusted(2, 0, -2, 0);
}

inline QString cutCombo(const QComboBox* combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    QString longest;
    const QFontMetrics metrics(combo->font());
    for (int i = 0; i < combo->count(); ++i)
        if (metrics.horizontalAdvance(combo->itemText(i)) > metrics.horizontalAdvance(longest))
            longest = combo->itemText(i);
    return cutText(combo, longest,
                   combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo));
}

inline QString cutSpin(const QAbstractSpinBox* box)
{
    QString widest;
    if (auto* spin = qobject_cast<const QSpinBox*>(box))
        widest = spin->prefix() + spin->locale().toString(spin->maximum()) + spin->suffix();
    else if (auto* spin = qobject_cast<const QDoubleSpinBox*>(box))
        widest = spin->prefix() + spin->locale().toString(spin->maximum(), 'f', spin->decimals()) + spin->suffix();
    if (!box->isGroupSeparatorShown())
        widest.remove(box->locale().groupSeparator());
    const QLineEdit* edit = box->findChild<QLineEdit*>();
    return edit ? cutText(box, widest, lineEditRoom(edit)) : QString();
}

} // namespace detail

// A frameless window's title bar keeps icon and title at its left and the close button at its right.
inline QStringList titleBarFaults(const QWidget* window)
{
    const QWidget* bar = window->findChild<QWidget*>(QStringLiteral("widget_title"));
    const QWidget* icon = window->findChild<QWidget*>(QStringLiteral("lab_Ico"));
    const QWidget* title = window->findChild<QWidget*>(QStringLiteral("lab_Title"));
    const QWidget* close = window->findChild<QWidget*>(QStringLiteral("btnMenu_Close"));
    if (!bar || !icon || !title || !close || !bar->isVisible())
        return {};
    QStringList faults;
    const int titleLeft = title->mapTo(bar, QPoint()).x();
    if (titleLeft > icon->mapTo(bar, QPoint(icon->width(), 0)).x())
        faults << QStringLiteral("title bar: the title starts at x %1, away from the icon").arg(titleLeft);
    const int closeRight = close->mapTo(bar, QPoint(close->width(), 0)).x();
    if (closeRight != bar->width())
        faults << QStringLiteral("title bar: the close button ends at x %1 of %2").arg(closeRight).arg(bar->width());
    if (bar->mapTo(window, QPoint(bar->width(), 0)).x() > window->width())
        faults << QStringLiteral("title bar: wider than the window");
    return faults;
}

// Every way a visible control of `window` fails to show whole: clipped or covered, smaller than its
// minimum size hint, or with its text cut (labels, buttons, check boxes, line edits as they stand,
// combo boxes at their longest item, spin boxes at their maximum).
inline QStringList windowFaults(const QWidget* window)
{
    QStringList faults = clippedControls(window) + titleBarFaults(window);
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || !w->isVisibleTo(window))
            continue;
        // Only what a user reads or handles; a spin box's own editor counts with its box.
        const bool control = qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
                             qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
                             (qobject_cast<const QLineEdit*>(w) && !w->objectName().startsWith(QLatin1String("qt_")));
        if (!control)
            continue;
        faults << detail::tooSmall(w, QStringLiteral("its minimum size"), w->minimumSizeHint(), w->size());
        // A switch is drawn with pictures of one size; less of it shows a cut picture.
        if (qobject_cast<const SwitchButton*>(w))
            faults << detail::tooSmall(w, QStringLiteral("its pictures"), QSize(87, 28), w->size());
        QString cut;
        if (auto* label = qobject_cast<const QLabel*>(w))
            cut = detail::cutLabel(label);
        else if (auto* button = qobject_cast<const QAbstractButton*>(w))
            cut = detail::cutButton(button);
        else if (auto* combo = qobject_cast<const QComboBox*>(w))
            cut = detail::cutCombo(combo);
        else if (auto* spin = qobject_cast<const QAbstractSpinBox*>(w))
            cut = detail::cutSpin(spin);
        else if (auto* edit = qobject_cast<const QLineEdit*>(w))
            if (!qobject_cast<const QAbstractSpinBox*>(edit->parentWidget()) &&
                !qobject_cast<const QComboBox*>(edit->parentWidget()))
                cut = detail::cutText(edit, edit->text(), detail::lineEditRoom(edit));
        faults << cut;
    }
    faults.removeAll(QString());
    return faults;
}

} // namespace ts

#endif
