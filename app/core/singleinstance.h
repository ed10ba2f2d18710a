#ifndef TAVREL_SINGLEINSTANCE_H
#define TAVREL_SINGLEINSTANCE_H

#include <QSharedMemory>
#include <QString>

// One running trainer per user session: whoever creates the one-byte shared segment under the key
// runs; a later start finds it taken. The segment is released when this object is destroyed.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& key = QStringLiteral("VEK"));
    ~SingleInstance();

    // False only when another live instance holds the segment.
    bool acquire();

private:
    Q_DISABLE_COPY(SingleInstance)
    QSharedMemory m_memory;
};

#endif
