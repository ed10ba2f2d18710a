#ifndef TAVREL_FILESUPPORT_H
#define TAVREL_FILESUPPORT_H

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <csignal>
#include <functional>

#include <sys/resource.h>

// Files as bytes, and writes that fail midway, for the tests of the stores on disk.
namespace ts {

inline QByteArray readRaw(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeRaw(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// Runs `write` under a file-size limit of 4 KB, which makes a longer write fail midway where no file
// permission does for root; the limit is lifted after. What `write` answered.
inline bool underSmallFileLimit(const std::function<bool()>& write)
{
    rlimit saved{};
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0)
        return true;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{4096, saved.rlim_max};
    const bool limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
    const bool written = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    return written || !limited;
}

} // namespace ts

#endif
