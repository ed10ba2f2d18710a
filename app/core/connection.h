#ifndef TAVREL_CONNECTION_H
#define TAVREL_CONNECTION_H

#include <QtGlobal>

#include <functional>

class QSqlError;

// While the server stays away, a new attempt to reopen the connection comes at most this often.
constexpr qint64 kReopenPauseMs = 30000;

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

// The monotonic clock in milliseconds that paces reopening; an empty function restores the system's.
void setConnectionClock(std::function<qint64()> clock);

#endif
