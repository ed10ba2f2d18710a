#ifndef TAVREL_INPUTMETHODSYNC_H
#define TAVREL_INPUTMETHODSYNC_H

#include <QString>

// What the settings window's OK hands to the server: the input-method name goes into the current
// user's row when the name is shown in results and the database is online.
struct InputMethodUpdate
{
    bool showInResult = false; // ShuRuFa2
    bool online = false;       // DbOnline
    QString name;              // ShuRuFa
    QString user;              // SignedInName, empty when nobody is signed in
};

// Returns whether the statement was sent and succeeded. A failure changes nothing locally and is
// shown to nobody; a name that matches no row updates nothing.
bool sendInputMethod(const InputMethodUpdate& update);

#endif
