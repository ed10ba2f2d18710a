#ifndef TAVREL_WINDOWCHECK_H
#define TAVREL_WINDOWCHECK_H

// What a user sees of a window: every visible control whole, at least its minimum size, and its
// text unclipped and readable. A control that passes size() and isVisible() can still show 11 px
// of itself, and a text in the colour of what lies behind it shows nothing.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>
#include <QWidget>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

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

// What a user is shown on asking for a control's tool tip.
inline QString shownToolTip(QWidget* w)
{
    const QPoint centre = w->rect().center();
    QHelpEvent event(QEvent::ToolTip, centre, w->mapToGlobal(centre));
    QApplication::sendEvent(w, &event);
    const QString text = QToolTip::text();
    QToolTip::hideText();
    return text;
}

// A text shown cut must end in "…" and show whole in the control's tool tip. `whole` is the text
// where the control still holds it; empty where only the tool tip can tell.
inline QString elidedWithoutWhole(QWidget* w, const QString& shown, const QString& whole = QString())
{
    if (shown == whole)
        return QString();
    if (!shown.endsWith(QChar(0x2026)) || (!whole.isEmpty() && !whole.startsWith(shown.chopped(1))))
        return QStringLiteral("%1: \"%2\" shown as \"%3\"").arg(controlName(w), whole, shown);
    const QString tip = shownToolTip(w);
    if (whole.isEmpty() ? !tip.startsWith(shown.chopped(1)) || tip.size() < shown.size() : tip != whole)
        return QStringLiteral("%1: \"%2\" cut, its tool tip reads \"%3\"").arg(controlName(w), shown, tip);
    return QString();
}

// A list box holds its longest item, or shows its current text as it fits (cut with "…" where
// the box paints it so) and opens a list that shows every item whole, as far as the screen allows.
inline QString cutCombo(const QComboBox* constCombo)
{
    auto* combo = const_cast<QComboBox*>(constCombo);
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
    if (fault.isEmpty())
        fault = elidedWithoutWhole(combo, shown, combo->currentText());
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    const int screen = list->window()->screen()->availableGeometry().width();
    if (list->viewport()->width() < list->sizeHintForColumn(0) && list->window()->width() < screen)
        fault += QStringLiteral(" %1: its list is %2 px wide, its longest item needs %3")
                     .arg(controlName(combo))
                     .arg(list->viewport()->width())
                     .arg(list->sizeHintForColumn(0));
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

// Relative luminance and contrast ratio as the accessibility guidelines define them: 1 for equal
// colours, 21 for black on white.
inline double luminance(QRgb colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

inline double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// Takes a control's text away while it lives and puts it back, its signals blocked, so a grab
// shows what is painted behind the text. text() is empty when the control shows none of its own.
class TextTakenAway
{
public:
    explicit TextTakenAway(QWidget* w)
    {
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->pixmap(Qt::ReturnByValue).isNull() && !label->movie())
                m_text = swap(label, &QLabel::text, &QLabel::setText);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            m_text = swap(button, &QAbstractButton::text, &QAbstractButton::setText);
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            const int cursor = edit->cursorPosition();
            m_text = swap(edit, &QLineEdit::text, &QLineEdit::setText);
            m_restore = [edit, cursor] { edit->setCursorPosition(cursor); };
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (!combo->isEditable() && combo->currentIndex() >= 0) {
                const int index = combo->currentIndex();
                m_text = swap(
                    combo, [index](const QComboBox* c) { return c->itemText(index); },
                    [index](QComboBox* c, const QString& text) { c->setItemText(index, text); });
            }
        }
    }
    ~TextTakenAway()
    {
        if (m_putBack)
            m_putBack();
        if (m_restore)
            m_restore();
    }
    // The text taken away; empty when there was none to see.
    QString text() const { return m_text; }

private:
    template <class W, class Get, class Set> QString swap(W* w, Get get, Set set)
    {
        const QString text = std::invoke(get, w);
        if (text.trimmed().isEmpty())
            return QString();
        const QSignalBlocker blocker(w);
        std::invoke(set, w, QString());
        m_putBack = [w, set, text] {
            const QSignalBlocker blocker(w);
            std::invoke(set, w, text);
        };
        return text;
    }

    QString m_text;
    std::function<void()> m_putBack;
    std::function<void()> m_restore;
};

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
                !qobject_cast<const QComboBox*>(edit->parentWidget())) {
                cut = detail::cutText(edit, edit->text(), detail::lineEditRoom(edit));
                // A field the user edits shows its whole text; only a read-only one may cut it.
                if (cut.isEmpty() && edit->text().endsWith(QChar(0x2026)))
                    cut = edit->isReadOnly()
                              ? detail::elidedWithoutWhole(const_cast<QLineEdit*>(edit), edit->text())
                              : QStringLiteral("%1: an edited field shows \"%2\"").arg(controlName(edit), edit->text());
            }
        faults << cut;
    }
    faults.removeAll(QString());
    return faults;
}

// Texts a user cannot read on what is painted behind them. The window is grabbed with every text
// of its labels, buttons, line edits (spin boxes' included) and combo boxes and once without them:
// the pixels that change are the texts', and the strongest of each text's must stand out from the
// background under it by a contrast ratio of 2.5 (anti-aliasing keeps a thin stroke from reaching
// the full text colour). The style sheets, not the palette, decide both colours, so only the
// painted pixels tell.
inline QStringList unreadableTexts(QWidget* window)
{
    std::vector<std::unique_ptr<detail::TextTakenAway>> texts;
    QVector<QWidget*> controls;
    const QImage with = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // A disabled control's text is faint on purpose.
        if (!w->isVisible() || w->isWindow() || !w->isVisibleTo(window) || w->visibleRegion().isEmpty() ||
            !w->isEnabled())
            continue;
        // An editable list shows its text in its line edit, which comes by itself.
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable())
            continue;
        auto away = std::make_unique<detail::TextTakenAway>(w);
        if (away->text().isEmpty())
            continue;
        texts.push_back(std::move(away));
        controls << w;
    }
    const QImage without = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QStringList faults;
    for (int i = 0; i < controls.size(); ++i) {
        QWidget* w = controls.at(i);
        const QRect area = QRect(w->mapTo(window, QPoint()), w->size()) & with.rect();
        double best = 1.0;
        QRgb ink = 0, paper = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb a = with.pixel(x, y), b = without.pixel(x, y);
                if (a != b && detail::contrast(a, b) > best) {
                    best = detail::contrast(a, b);
                    ink = a;
                    paper = b;
                }
            }
        }
        if (best < 2.5)
            faults << QStringLiteral("%1: \"%2\" drawn in %3 on %4 (contrast %5)")
                          .arg(controlName(w), texts.at(i)->text(), QColor(ink).name(), QColor(paper).name())
                          .arg(best, 0, 'f', 2);
    }
    return faults;
}

} // namespace ts

#endif
