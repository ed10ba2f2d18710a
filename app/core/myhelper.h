#ifndef TAVREL_MYHELPER_H
#define TAVREL_MYHELPER_H

#include <QString>
#include <QVariantList>

class QSqlQuery;

// Small database and text utilities shared by every window. All database calls work on the
// default connection and do nothing while App::DbOnline is false.
class myHelper
{
public:
    // First column of the first row as text; empty when offline, on error, without a row or for NULL.
    static QString getOne(const QString& sql);
    // The same with the values bound in order to the statement's "?" placeholders.
    static QString getOne(const QString& sql, const QVariantList& values);
    // Runs a statement that yields no rows; true when it succeeded.
    static bool exec(const QString& sql, const QVariantList& values = {});
    // The checks every statement goes through: offline test, a statement larger than the server
    // takes refused unsent, prepare, bind, exec, debug log on error. A connection the server dropped
    // is opened again before the statement is sent (reopenConnection); a statement whose connection
    // was lost after it was sent fails and is not sent again. On true the query is positioned
    // before its first row, ready for next().
    static bool run(QSqlQuery& query, const QString& sql, const QVariantList& values = {});
    // A text value to bind: an unknown one (a null text, such as the public address when its look-up
    // failed) binds as the empty text, never as NULL.
    static QVariant boundText(const QString& value);

    // 32 lower-case hexadecimal digits of the MD5 of the text's UTF-8 bytes.
    static QString getMd5(const QString& str);
};

#endif
