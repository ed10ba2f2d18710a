#ifndef TAVREL_CONNECTION_H
#define TAVREL_CONNECTION_H

#include <QtGlobal>

#include <functional>

class QSqlError;

// While the server stays away, a new attempt to reopen the connection comes at most this often.
constexpr qint64 kReopenPauseMs = 30000;

// How long one exchange with the server waits for its answer, sending or reading, in milliseconds.
constexpr int kReadLimitMs = 5000;

// Opens the process-wide default database connection from the deployment values in App.
// Returns true when it opened; the caller keeps the result in App::DbOnline.
bool createConnection();

// Opens the default connection once more after the server dropped it, with the options and session
// settings of createConnection. After an attempt that found the server away, the next comes only
// kReopenPauseMs later: until then this answers false without trying, so no statement waits on a
// dead server for the connect limit more than once per pause.
bool reopenConnection();

// True when the error says the connection itself is gone, not that the server refused the statement.
bool isConnectionLost(const QSqlError& error);

// Closes the default connection after a statement lost it, `waitedMs` after the statement began its
// exchange. A server that dropped the session (a restart) may be back at once: the next statement
// opens the connection anew. One that let the statement wait out kReadLimitMs does not answer: that
// counts as an attempt that found it away, so the next comes only after the pause, and no action
// waits on a silent server twice.
void closeLostConnection(qint64 waitedMs);

// False after a statement found the server away or silent, until a statement opens the connection
// again: a statement that failed then says nothing of what it asked for.
bool isConnectionOpen();

// The monotonic clock in milliseconds that paces reopening; an empty function restores the system's.
void setConnectionClock(std::function<qint64()> clock);

#endif
