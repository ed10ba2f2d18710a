#ifndef TAVREL_WINDOWCHECK_H
#define TAVREL_WINDOWCHECK_H

// What a user sees of a window: every visible control whole, at least its minimum size, and its
// text unclipped and readable. A control that passes size() and isVisible() can still show 11 px of it.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>
#include <QWidget>

#include <cmath>
#include <functional>

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

// A text shown cut ends in "…" and shows whole in the control's tool tip.
inline QString elidedWithoutWhole(QWidget* w, const QString& shown)
{
    QHelpEvent ask(QEvent::ToolTip, w->rect().center(), w->mapToGlobal(w->rect().center()));
    QApplication::sendEvent(w, &ask);
    const QString tip = QToolTip::text();
    QToolTip::hideText();
    if (shown.endsWith(QChar(0x2026)) && tip.startsWith(shown.chopped(1)) && tip != shown)
        return QString();
    return QStringLiteral("%1: \"%2\" cut, its tool tip reads \"%3\"").arg(controlName(w), shown, tip);
}

// A list box holds its longest item, or shows its current text as it fits (cut with "…" where the
// box paints it so) and opens a list as wide as its longest item, as far as the screen allows.
inline QString cutCombo(QComboBox* combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    QString longest;
    const QFontMetrics metrics(combo->font());
    for (int i = 0; i < combo->count(); ++i)
        if (metrics.horizontalAdvance(combo->itemText(i)) > metrics.horizontalAdvance(longest))
            longest = combo->itemText(i);
    if (cutText(combo, longest, field).isEmpty())
        return QString();
    const QVariant painted = combo->property("shownText");
    const QString shown = painted.isValid() ? painted.toString() : combo->currentText();
    QString fault = cutText(combo, shown, field);
    if (fault.isEmpty() && shown != combo->currentText())
        fault = elidedWithoutWhole(combo, shown);
    combo->showPopup();
    const QAbstractItemView* list = combo->view();
    if (list->viewport()->width() < list->sizeHintForColumn(0) &&
        list->window()->width() < combo->screen()->availableGeometry().width())
        fault += QStringLiteral(" %1: its list is narrower than its longest item").arg(controlName(combo));
    combo->hidePopup();
    return fault.trimmed();
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

// The contrast ratio of the accessibility guidelines: 1 for equal colours, 21 for black on white.
inline double contrast(QRgb a, QRgb b)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const auto luminance = [&channel](QRgb c) {
        return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c)) + 0.05;
    };
    const double la = luminance(a), lb = luminance(b);
    return qMax(la, lb) / qMin(la, lb);
}

// A control's own text and how to set it; none for an editable list (its line edit comes by itself).
inline std::pair<QString, std::function<void(const QString&)>> ownText(QWidget* w)
{
    if (auto* label = qobject_cast<QLabel*>(w); label && label->pixmap(Qt::ReturnByValue).isNull() && !label->movie())
        return {label->text(), [label](const QString& text) { label->setText(text); }};
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return {button->text(), [button](const QString& text) { button->setText(text); }};
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return {edit->text(), [edit](const QString& text) { edit->setText(text); }};
    // A menu bar's text is its menus' captions: taken away together, and put back as they were.
    if (auto* bar = qobject_cast<QMenuBar*>(w)) {
        const QList<QAction*> menus = bar->actions();
        QStringList captions;
        for (const QAction* menu : menus)
            captions << menu->text();
        return {captions.join(QLatin1Char(' ')), [menus, captions](const QString& text) {
                    for (int i = 0; i < menus.size(); ++i)
                        menus.at(i)->setText(text.isEmpty() ? QString() : captions.at(i));
                }};
    }
    auto* combo = qobject_cast<QComboBox*>(w);
    if (!combo || combo->isEditable() || combo->currentIndex() < 0)
        return {};
    const int index = combo->currentIndex();
    return {combo->itemText(index), [combo, index](const QString& text) { combo->setItemText(index, text); }};
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
    for (QWidget* w : window->findChildren<QWidget*>()) {
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
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            cut = detail::cutCombo(combo);
        else if (auto* spin = qobject_cast<const QAbstractSpinBox*>(w))
            cut = detail::cutSpin(spin);
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            if (!qobject_cast<const QAbstractSpinBox*>(edit->parentWidget()) &&
                !qobject_cast<const QComboBox*>(edit->parentWidget())) {
                cut = detail::cutText(edit, edit->text(), detail::lineEditRoom(edit));
                // A field the user edits shows its whole text; only a read-only one may cut it.
                if (cut.isEmpty() && edit->text().endsWith(QChar(0x2026)))
                    cut = edit->isReadOnly() ? detail::elidedWithoutWhole(edit, edit->text())
                                             : controlName(edit) + QStringLiteral(": an edited field cut");
            }
        faults << cut;
    }
    faults.removeAll(QString());
    return faults;
}

// The contrast of the strongest changed pixel between two grabs of one area against the one behind it.
inline double strongestChange(const QImage& withText, const QImage& withoutText)
{
    const QImage with = withText.convertToFormat(QImage::Format_RGB32);
    const QImage without = withoutText.convertToFormat(QImage::Format_RGB32);
    double best = 1.0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y))
                best = qMax(best, detail::contrast(with.pixel(x, y), without.pixel(x, y)));
    return best;
}

// Texts a user cannot read on what is painted behind them (style sheets, not the palette, decide both):
// grabbed with and without the texts, the strongest changed pixel of each must stand out from the one
// behind it by a contrast of 2.5 (anti-aliasing keeps a thin stroke from the full text colour).
inline QStringList unreadableTexts(QWidget* window)
{
    QVector<QPair<QWidget*, QString>> texts;
    const QImage with = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // A disabled control's text is faint on purpose.
        if (!w->isVisible() || w->isWindow() || !w->isVisibleTo(window) || w->visibleRegion().isEmpty() ||
            !w->isEnabled())
            continue;
        const auto [text, set] = detail::ownText(w);
        if (text.trimmed().isEmpty())
            continue;
        const QSignalBlocker blocker(w);
        set(QString());
        texts << qMakePair(w, text);
    }
    const QImage without = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QStringList faults;
    for (const auto& [w, text] : qAsConst(texts)) {
        const QSignalBlocker blocker(w);
        detail::ownText(w).second(text);
        const QRect area = QRect(w->mapTo(window, QPoint()), w->size()) & with.rect();
        const double best = strongestChange(with.copy(area), without.copy(area));
        if (best < 2.5)
            faults << QStringLiteral("%1: \"%2\" stands out by a contrast of %3 only")
                          .arg(controlName(w), text)
                          .arg(best, 0, 'f', 2);
    }
    return faults;
}

} // namespace ts

#endif
