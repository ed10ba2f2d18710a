#ifndef TAVREL_ACCOUNT_RANKUPLOAD_H
#define TAVREL_ACCOUNT_RANKUPLOAD_H

#include <QString>
#include <QStringList>
#include <QVariantList>

// The ranking upload of a finished run: the conditions, the text's upload count, and the user's one
// entry per text, inserted first and replaced only by a faster run. Plain values in, the title
// message out; every statement binds its values.
namespace RankUpload {

// What the upload needs of the finished run, as the main window holds it.
struct Run
{
    QString speedText;
    QStringList cells; // the result table's 15 cells of the run
    int wrongCount = 0;
    QString title; // the text's name: the ranking key
    bool finished = false;
    bool wholeText = false;
    // The account signed in when the run finished: its result goes under that name only. Empty when
    // typed signed out; such a run goes under whoever signs in to upload it.
    QString typedBy;
};

struct Context
{
    bool online = false; // the database connection opened at start-up
    bool signedIn = false;
    bool takePart = false; // the user takes part in the ranking
    QString user;
    bool canUpload = false; // a server text or a built-in practice set
    qint64 now = 0;         // seconds since 1970
    QString from;           // program title with version
    QString ip;             // the public address
};

// A title message: shown for ms milliseconds (-1: until the next title change); none when text is null.
struct Notice
{
    QString text;
    int ms = 1000;
    bool shown() const { return !text.isNull(); }
};

// Every upload goes through here, with all its conditions and messages. manual: the user asked for
// it (the menu command "手动上传成绩", or the result pop-up with its upload box ticked), so the text
// typed whole and taking part in the ranking come first and each failed condition explains itself;
// otherwise (the end of a run without the pop-up) the upload is tried only for a whole text when
// taking part, and anything else just ends the run.
Notice upload(const Run& run, const Context& context, bool manual);

// The conditions in order (signed in, a clean run of an eligible title typed under this account or
// signed out, finished), then the ranking entry (a server text or a built-in set only). A manual
// upload that does not reach the server says so: "成绩上传失败！", or "更新排行榜失败！" for a faster run.
Notice tryUpload(const Run& run, const Context& context, bool manual);

// The 17 values of a ranking entry in column order, r_text to r_ip, numbers as numbers.
QVariantList entryValues(const Run& run, const Context& context);

} // namespace RankUpload

#endif
