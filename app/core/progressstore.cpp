#include "app/core/progressstore.h"

#include "app/core/app.h"
#include "app/core/bounded.h"
#include "app/core/textfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

namespace {

const QString kGroupKey = QStringLiteral("AppConfig/Zdzs");

QString withoutSeparators(const QString& name)
{
    QString safe = name;
    for (QChar& c : safe) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.isNull())
            c = QLatin1Char('_');
    }
    return safe;
}

QString visible(QString name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1Char('_'));
    return name;
}

// A link under a text's name would have its target, wherever it lies, read and written over; a
// FIFO would block a read for ever. Only a regular file that is no link, or nothing, will do.
bool isPlainOrMissing(const QString& path)
{
    return !QFileInfo(path).isSymLink() && App::isRegularOrMissing(path);
}

// Writes a new file beside the old one and renames it over it: a crash mid-save leaves the old
// file whole, and a link put in the old one's place is replaced, never followed.
bool replaceFile(const QString& folder, const QString& file, const QByteArray& bytes)
{
    QTemporaryFile temp(folder + QStringLiteral("/.save-XXXXXX"));
    if (!temp.open())
        return false;
    const bool written =
        temp.write(bytes) == bytes.size() && temp.flush() && ::fsync(temp.handle()) == 0 &&
        temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!written ||
        std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(file).constData()) != 0)
        return false;
    temp.setAutoRemove(false);
    return true;
}

} // namespace

ProgressStore::ProgressStore(const QString& baseFolder)
    : m_folder(QDir(baseFolder.isEmpty() ? QCoreApplication::applicationDirPath() : baseFolder)
                   .filePath(QStringLiteral("跟打进度")))
{
}

QString ProgressStore::safeName(const QString& name)
{
    return visible(withoutSeparators(name).replace(QStringLiteral(".."), QStringLiteral("_")));
}

QString ProgressStore::path(const QString& name, const QString& suffix) const
{
    const QString current = m_folder + QLatin1Char('/') + safeName(name) + suffix;
    const QString earlier = m_folder + QLatin1Char('/') + visible(withoutSeparators(name)) + suffix;
    return QFileInfo::exists(current) || !QFileInfo::exists(earlier) ? current : earlier;
}

QStringList ProgressStore::names() const
{
    QStringList names;
    for (const ListedText& text : listTextFiles(m_folder, TextNames::Exact)) {
        const QString file = m_folder + QLatin1Char('/') + text.fileName;
        if (path(text.name, QStringLiteral(".txt")) == file && isPlainOrMissing(file))
            names << text.name;
    }
    return names;
}

QString ProgressStore::readText(const QString& name, bool* ok) const
{
    const QString file = path(name, QStringLiteral(".txt"));
    if (!isPlainOrMissing(file)) {
        qWarning("读取跟打进度失败: %s (不是普通文件)", qUtf8Printable(file));
        if (ok)
            *ok = false;
        return QString();
    }
    return App::readTextFile(file, ok);
}

bool ProgressStore::saveText(const QString& name, const QString& text, QString* savedName, QString* error) const
{
    if (!QDir().mkpath(m_folder)) {
        *error = QStringLiteral("无法创建文件夹: ") + m_folder;
        return false;
    }
    const QString file = path(name, QStringLiteral(".txt"));
    if (!isPlainOrMissing(file) || !replaceFile(m_folder, file, text.toUtf8())) {
        *error = QStringLiteral("写入文件失败: ") + file;
        return false;
    }
    *savedName = QFileInfo(file).fileName().chopped(4);
    return true;
}

int ProgressStore::recordedTotal(const QString& name) const
{
    const QString file = path(name, QStringLiteral(".ini"));
    if (!isPlainOrMissing(file)) {
        qWarning("读取跟打进度失败: %s (不是普通文件)", qUtf8Printable(file));
        return -1;
    }
    if (!QFileInfo::exists(file))
        return -1;
    return Bounded::toInt(QSettings(file, QSettings::IniFormat).value(kGroupKey), 0);
}

bool ProgressStore::writeTotal(const QString& name, int total) const
{
    const QString file = path(name, QStringLiteral(".ini"));
    // The file holds the one key the settings format would write, in that format.
    const QByteArray bytes = "[AppConfig]\nZdzs=" + QByteArray::number(total) + '\n';
    if (!QDir().mkpath(m_folder) || !isPlainOrMissing(file) || !replaceFile(m_folder, file, bytes)) {
        qWarning("保存跟打进度失败: %s", qUtf8Printable(file));
        return false;
    }
    return true;
}

void App::readProgress()
{
    readProgress(ProgressStore());
}

void App::readProgress(const ProgressStore& store)
{
    const int recorded = store.recordedTotal(Zdname);
    if (recorded >= 0) {
        Zdzs = recorded;
        return;
    }
    // A text keeps the length it had when its progress file was made; an empty one records nothing.
    Zdzs = SendText.size();
    if (Zdzs > 0)
        writeProgress(store);
}

void App::writeProgress()
{
    writeProgress(ProgressStore());
}

void App::writeProgress(const ProgressStore& store)
{
    store.writeTotal(Zdname, Zdzs);
}
