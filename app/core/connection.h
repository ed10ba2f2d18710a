#ifndef TAVREL_CONNECTION_H
#define TAVREL_CONNECTION_H

// Opens the process-wide default database connection from the deployment values in App.
// Returns true when it opened; the caller keeps the result in App::DbOnline.
bool createConnection();

#endif
