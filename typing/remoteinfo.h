#ifndef TAVREL_TYPING_REMOTEINFO_H
#define TAVREL_TYPING_REMOTEINFO_H

#include <QString>

// What the window asks the servers once as it opens (only with a database or web address set).
namespace RemoteInfo {

constexpr int PublicAddressTimeoutMs = 5000;

// The newest version named in the database; empty offline.
QString latestVersion();
// Asks the web service for our public address and keeps it in App::PublicIp (cleared first; left
// empty on any failure, which is logged). The wait serves events, within `timeoutMs`.
void fetchPublicAddress(int timeoutMs);

} // namespace RemoteInfo

#endif
