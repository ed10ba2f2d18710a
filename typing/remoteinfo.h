#ifndef TAVREL_TYPING_REMOTEINFO_H
#define TAVREL_TYPING_REMOTEINFO_H

#include <QString>

// What the window asks the servers once as it opens (only with a database or web address set).
namespace RemoteInfo {

constexpr int PublicAddressTimeoutMs = 3000;
// The address page is a few bytes; a longer answer is not one.
constexpr qint64 MaxAnswerBytes = 4096;

// The newest version named in the database; empty offline.
QString latestVersion();
// Asks the web service for our public address and keeps it in App::PublicIp (cleared first; left
// empty on any failure, which is logged). The wait serves events, within `timeoutMs` in all.
void fetchPublicAddress(int timeoutMs);

} // namespace RemoteInfo

#endif
