#ifndef TAVREL_FUZZINPUT_H
#define TAVREL_FUZZINPUT_H

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Takes a fuzzer's bytes apart into values: numbers from single bytes, texts up to the next 0xFF
// byte (or the end), so that seeds written by hand stay readable.
class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : m_bytes(reinterpret_cast<const char*>(data), int(size)) {}

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    uint8_t byte() { return atEnd() ? 0 : uint8_t(m_bytes.at(m_pos++)); }
    bool flag() { return byte() & 1; }
    int number(int range) { return range > 0 ? (byte() | byte() << 8) % range : 0; }
    QString text()
    {
        int end = m_bytes.indexOf(char(0xFF), m_pos);
        if (end < 0)
            end = m_bytes.size();
        const QString t = QString::fromUtf8(m_bytes.mid(m_pos, end - m_pos));
        m_pos = end + 1;
        return t;
    }

private:
    QByteArray m_bytes;
    int m_pos = 0;
};

// A broken property: say what and abort, so libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "property broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);                          \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

// Targets that read files work in a folder of their own, as the program does in its working
// folder, for one input at a time: libFuzzer reads corpus paths relative to where it started.
class FuzzFolder
{
public:
    FuzzFolder() : m_previous(QDir::currentPath())
    {
        static QTemporaryDir dir;
        QDir::setCurrent(dir.path());
    }
    ~FuzzFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

inline void writeBytes(const QString& path, const uint8_t* data, size_t size)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), qint64(size));
}

#endif
