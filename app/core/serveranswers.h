#ifndef TAVREL_SERVERANSWERS_H
#define TAVREL_SERVERANSWERS_H

#include <QObject>

// Tells whoever has work owed to the server that a statement has just reached it and succeeded:
// the server is back. Listeners connect queued, so what they send never runs inside the
// statement's own caller.
class ServerAnswers : public QObject
{
    Q_OBJECT

public:
    static ServerAnswers* instance();
    // Called by the statement helper after each statement that succeeded.
    static void notify();

signals:
    void answered();
};

#endif
