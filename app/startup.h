#ifndef TAVREL_STARTUP_H
#define TAVREL_STARTUP_H

// The program's start-up: configuration, theme, database, single-instance guard, main window and
// event loop. Returns the event loop's result, or 1 when another instance already runs.
int runTrainer(int argc, char** argv);

#endif
