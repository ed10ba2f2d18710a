#ifndef TAVREL_BOUNDED_H
#define TAVREL_BOUNDED_H

#include <QString>
#include <QtGlobal>

#include <climits>

class QVariant;

// Numbers read from the stores (settings file, native store, progress files) and from the server,
// brought into a range before any arithmetic sees them: a value out of range is clamped, never
// wrapped ("99999999999" as an int is INT_MAX, not 1215752191).
namespace Bounded {

// The integer `text` names (blanks around it allowed), clamped to [low, high]. False, and *value
// untouched, when the text is no integer; digits too many for 64 bits still clamp by their sign.
bool parse(const QString& text, qint64 low, qint64 high, qint64* value);

// A stored value as an int in [low, high]. What is no number reads as 0 (the toolkit's rule),
// brought into the range as well.
int toInt(const QVariant& value, int low = INT_MIN, int high = INT_MAX);

// The same for a double; infinities clamp, NaN reads as 0.
double toDouble(const QVariant& value, double low, double high);

} // namespace Bounded

#endif
