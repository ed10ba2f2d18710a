#ifndef TAVREL_STARTUP_H
#define TAVREL_STARTUP_H

#include <QString>

// The program's start-up: configuration, theme, database, single-instance guard, main window and
// event loop. Returns the event loop's result, or 1 when another instance already runs.
int runTrainer(int argc, char** argv);

// Sets the style sheet ":/image/<name>.css" on the application and, when its leading palette rule
// names a valid colour, the palette built from it. False when the sheet could not be read.
bool applyStyleSheet(const QString& name);

#endif
