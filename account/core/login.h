#ifndef TAVREL_ACCOUNT_LOGIN_H
#define TAVREL_ACCOUNT_LOGIN_H

#include <QString>

// The account check against the remote user table, and the remembered login. Widget-free: the
// login window and the main window's account part call it with what the user typed or what the
// native store holds. Every statement binds its values; offline nothing is sent.
namespace AccountLogin {

// An account text is an e-mail address when it has an "@" that is not its first character and a
// "." somewhere after that "@".
bool isEmailAddress(const QString& account);

// 32 lower-case hexadecimal digits: what the server keeps and what the store remembers.
bool isDigest(const QString& text);

// What the native store should hold for a remembered password: a digest stays as it is; anything
// else is a password an older version stored as typed, and becomes its digest.
QString rememberedDigest(const QString& stored);

struct Result
{
    bool passed = false;
    // The server answered the password statement (with a row or without): false offline, or when
    // the server could not be reached or did not answer, and then nothing is known of the password.
    bool answered = false;
    QString name; // the account name checked: the typed text, or the name found by e-mail
};

// The check of the login window: the name (looked up by e-mail first when the text is an address,
// the last matching row winning; a failed or empty look-up keeps the typed text as the name),
// then the stored digest compared with the MD5 of the typed password, case-sensitively. Offline
// (online: the database connection opened at start-up) nothing is sent and nothing passes. A
// statement the server refused counts as one without a row.
Result check(const QString& account, const QString& password, bool online);

enum class Remembered {
    SignedIn,  // the server holds the remembered digest
    Rejected,  // no such account, or another digest (the password was changed)
    Unchecked, // offline, no remembered name, or the statement failed: nothing is known
};

// The start-up check of a remembered login against the server.
Remembered checkRemembered(const QString& name, const QString& digest, bool online);

// The title that the update notice compares with the program's own: the newest version's title, or
// the program's own title when no version is known (an empty or failed answer: no notice).
QString latestVersionTitle(const QString& version, const QString& appTitle);

} // namespace AccountLogin

#endif
