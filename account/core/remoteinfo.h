#ifndef TAVREL_ACCOUNT_REMOTEINFO_H
#define TAVREL_ACCOUNT_REMOTEINFO_H

#include <QString>

class QObject;

// What the window asks the servers once as it opens (only with a database or web address set).
namespace RemoteInfo {

constexpr int PublicAddressTimeoutMs = 3000;
// The address page is a few bytes; a longer answer is not one.
constexpr qint64 MaxAnswerBytes = 4096;

// The newest version named in the database; empty offline.
QString latestVersion();
// Asks the web service for our public address without waiting for it: App::PublicIp takes the
// address when the answer comes, or is cleared on any failure (logged), within `timeoutMs` in all.
// The request is dropped if `owner` goes first.
void fetchPublicAddress(QObject* owner, int timeoutMs);

} // namespace RemoteInfo

#endif
