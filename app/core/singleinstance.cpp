#include "app/core/singleinstance.h"

#include <QtDebug>

SingleInstance::SingleInstance(const QString& key) : m_memory(key) {}

SingleInstance::~SingleInstance()
{
    // The last detach removes the segment, so the next start finds the key free.
    if (m_memory.isAttached()) {
        m_memory.detach();
    }
}

QString SingleInstance::sessionKey(const QString& base, uint userId, const QString& display)
{
    QString name = display.trimmed();
    const int colon = name.lastIndexOf(QLatin1Char(':'));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (colon >= 0 && dot > colon)
        name.truncate(dot);
    return base + QLatin1Char('-') + QString::number(userId) + QLatin1Char('-') + name;
}

bool SingleInstance::acquire()
{
    if (m_memory.isAttached()) {
        return true;
    }
    // A segment left by a crashed or killed instance outlives it. Attaching and detaching again
    // removes such an orphan (we are then its last user); a live instance stays attached, so its
    // segment survives and create() below reports it.
    if (m_memory.attach()) {
        m_memory.detach();
    }
    if (m_memory.create(1)) {
        return true;
    }
    if (m_memory.error() == QSharedMemory::AlreadyExists) {
        return false;
    }
    // Anything else says nothing about another instance: better to run twice than not at all.
    qWarning() << "Single-instance guard unavailable:" << m_memory.errorString();
    return true;
}
