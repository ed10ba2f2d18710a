#ifndef TAVREL_INPUT_CODEANNOTATION_H
#define TAVREL_INPUT_CODEANNOTATION_H

#include "app/core/textlines.h"

#include <QString>
#include <QVector>

using TextLines::CodeLine;

// How far an annotation may grow before it is given up: a code file whose codes contain its own
// entry texts rewrites its own output and could double the text with every line.
struct AnnotationLimits
{
    int maxLength = 1000000;
    int maxFactor = 50; // times the input's length
};

struct Annotation
{
    QString codeForm;     // every known entry replaced by its code and a blank
    QString textCodeForm; // every known entry followed by its code and a blank
    bool stopped = false; // a form would have passed the limits; both forms are then the input
};

// The code look-up tools' reading of code files. Unlike the typing window's CodeFile, which
// indexes the file for speed, these keep every line in file order: the annotation rewrites its
// text line by line, and the decomposition window takes the first line of a character.
namespace CodeAnnotation {

// Lines in file order. A line without a TAB, or with an empty entry text, is skipped (an empty
// entry would put its code before every character) and logged with its line number.
QVector<CodeLine> parse(const QString& fileText, const QString& sourceName = QString());

// The lines of a file read through the common text reader; a file that cannot be read gives no
// lines and a debug line.
QVector<CodeLine> readFile(const QString& path);

// Rewrites the input line by line in file order: a line applies when its entry text occurs in the
// code form as rewritten so far; it then replaces every occurrence in the code form by the code and
// a blank, and every occurrence in the text-plus-code form by the entry, the code and a blank.
Annotation annotate(const QString& input, const QVector<CodeLine>& lines, const AnnotationLimits& limits = {});

// The code of the first line whose entry text is exactly `entry`; empty when there is none.
QString firstCode(const QString& fileText, const QString& entry);

} // namespace CodeAnnotation

#endif
