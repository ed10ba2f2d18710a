#ifndef TAVREL_TESTSUPPORT_H
#define TAVREL_TESTSUPPORT_H

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// Every test case works in its own temporary folder as working directory, with its own native
// settings store, so nothing a test writes reaches the user's files or another test.
class TestDir
{
public:
    TestDir()
    {
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        QDir().mkpath(m_dir.path() + "/native");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path() + "/native");
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path() + "/native");
    }
    ~TestDir() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.path() + "/" + name; }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Connection values of the private MariaDB that test.sh starts.
struct TestDb
{
    static QString host() { return qEnvironmentVariable("TAVREL_TEST_DB_HOST"); }
    static int port() { return qEnvironmentVariableIntValue("TAVREL_TEST_DB_PORT"); }
    static QString name() { return qEnvironmentVariable("TAVREL_TEST_DB_NAME"); }
    static QString user() { return qEnvironmentVariable("TAVREL_TEST_DB_USER"); }
    static QString password() { return qEnvironmentVariable("TAVREL_TEST_DB_PASSWORD"); }
    static bool available() { return !host().isEmpty() && port() > 0; }
};

#endif
