#ifndef TAVREL_SENDING_SERVERTEXTS_H
#define TAVREL_SENDING_SERVERTEXTS_H

#include <QString>
#include <QStringList>

// The texts shared on the server (table kelm_text): their names, a text by name, its record holder,
// and the upload of a local text. Every value is bound, so names and texts holding quotes or "%2"
// are stored and found literally. All calls return nothing while the database is offline.

// The names in the server's order; empty offline or when the query fails (logged).
QStringList serverTextNames();
// The text of that name; empty when there is none, offline, or on failure.
QString serverText(const QString& name);

struct RecordHolder
{
    bool queried = false; // false: offline or the query failed (logged); title and notice then stay
    QString notice; // "该文本速度保持者为：【称号】用户 速度为：速度", empty without a ranking row
};
// The fastest ranking entry for the text of that name and length.
RecordHolder recordHolder(const QString& name, int length);

struct UploadRequest
{
    bool online = false;
    QString userName; // empty: not logged in
    QString name;
    QString text;
    QString appTitle;
    QString publicIp;
    qint64 now = 0; // seconds since 1970 UTC
};
struct UploadOutcome
{
    bool uploaded = false;
    QString message; // the text of the box to show: an error unless uploaded
};
// Checks in order (online, logged in, free name, text not empty), then inserts the row.
UploadOutcome uploadText(const UploadRequest& request);

#endif
