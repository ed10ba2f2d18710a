#ifndef TAVREL_FIELDTEXT_H
#define TAVREL_FIELDTEXT_H

#include <QString>

class QLineEdit;

// Texts in line edits of a fixed width: the width a text needs, or the text cut to the field.
namespace FieldText {

// The width `field` needs to show `text` whole, with its frame, padding and margins.
int neededWidth(const QLineEdit* field, const QString& text);

// Shows a name in a read-only field: cut with "…" where the field cannot hold it, and then whole
// in the field's tool tip.
void showName(QLineEdit* field, const QString& name);

} // namespace FieldText

#endif
