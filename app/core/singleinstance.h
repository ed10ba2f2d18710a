#ifndef TAVREL_SINGLEINSTANCE_H
#define TAVREL_SINGLEINSTANCE_H

#include <QSharedMemory>
#include <QString>

#include <memory>

// One running trainer per user and display: whoever creates the one-byte shared segment under the
// key runs; a later start finds it taken, whatever its TMPDIR. The segment is released when this
// object is destroyed.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& key = QStringLiteral("VEK"));
    ~SingleInstance();

    // The key of one user's trainer on one display: the base key, the user id and the display name
    // without its screen number (":0" and ":0.0" are one display). A machine-wide key would let
    // one user's trainer, or the segment its killed process left, stop every other user's.
    static QString sessionKey(const QString& base, uint userId, const QString& display);

    // False only when another live instance holds the segment.
    bool acquire();

private:
    Q_DISABLE_COPY(SingleInstance)
    QString m_nativeKey;
    std::unique_ptr<QSharedMemory> m_memory;
};

#endif
