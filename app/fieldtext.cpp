#include "app/fieldtext.h"

#include <QLineEdit>

namespace FieldText {

namespace {

// QLineEdit asks for room for 17 "x" beside its frame, padding and margins, as its style sizes them.
int besideText(const QLineEdit* field)
{
    return field->sizeHint().width() - 17 * field->fontMetrics().horizontalAdvance(QLatin1Char('x'));
}

} // namespace

int neededWidth(const QLineEdit* field, const QString& text)
{
    return besideText(field) + field->fontMetrics().horizontalAdvance(text);
}

void showName(QLineEdit* field, const QString& name)
{
    const QString shown = field->fontMetrics().elidedText(name, Qt::ElideRight, field->width() - besideText(field));
    field->setText(shown);
    field->setToolTip(shown == name ? QString() : name);
    // The start of the name, not its end, stays in view.
    field->setCursorPosition(0);
}

} // namespace FieldText
