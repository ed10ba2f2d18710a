#include "app/core/singleinstance.h"

#include <QCryptographicHash>
#include <QtDebug>

namespace {

// The toolkit names a key's segment by a file in the temporary folder, which TMPDIR moves: two
// starts with different TMPDIRs would not meet. The file is named as the toolkit names it, in the
// system's own temporary folder whatever TMPDIR says.
QString nativeKeyFile(const QString& key)
{
    QString name = QStringLiteral("/tmp/qipc_sharedmemory_");
    for (const QChar c : key) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')))
            name += c;
    }
    return name + QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex());
}

} // namespace

SingleInstance::SingleInstance(const QString& key) : m_nativeKey(nativeKeyFile(key)) {}

SingleInstance::~SingleInstance()
{
    // The last detach removes the segment, so the next start finds the key free.
    if (m_memory && m_memory->isAttached()) {
        m_memory->detach();
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
    if (m_memory && m_memory->isAttached()) {
        return true;
    }
    // A new object for each try: under a native key alone, a create() leaves the object's lock in
    // error, which fails every later call on it.
    m_memory = std::make_unique<QSharedMemory>();
    m_memory->setNativeKey(m_nativeKey);
    // A segment left by a crashed or killed instance outlives it. Attaching and detaching again
    // removes such an orphan (we are then its last user); a live instance stays attached, so its
    // segment survives and create() below reports it.
    if (m_memory->attach()) {
        m_memory->detach();
    }
    if (m_memory->create(1)) {
        return true;
    }
    if (m_memory->error() == QSharedMemory::AlreadyExists) {
        return false;
    }
    // Anything else says nothing about another instance: better to run twice than not at all.
    qWarning() << "Single-instance guard unavailable:" << m_memory->errorString();
    return true;
}
