#ifndef TAVREL_LOOK_H
#define TAVREL_LOOK_H

#include <QString>

// The forms ask for the Windows UI font by name; it is mapped to an installed Chinese font.
void applyWindowFonts();

// Sets the style sheet ":/image/<name>.css" on the application and, when its leading palette rule
// names a valid colour, the palette built from it. False when the sheet could not be read.
bool applyStyleSheet(const QString& name);

#endif
