#include "app/core/progressstore.h"

#include "app/core/app.h"
#include "app/core/bounded.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

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

QString ProgressStore::readText(const QString& name, bool* ok) const
{
    return App::readTextFile(path(name, QStringLiteral(".txt")), ok);
}

bool ProgressStore::saveText(const QString& name, const QString& text, QString* savedName, QString* error) const
{
    if (!QDir().mkpath(m_folder)) {
        *error = QStringLiteral("无法创建文件夹: ") + m_folder;
        return false;
    }
    const QString file = path(name, QStringLiteral(".txt"));
    if (!App::isRegularOrMissing(file) || !App::writeFile(file, text)) {
        *error = QStringLiteral("写入文件失败: ") + file;
        return false;
    }
    *savedName = QFileInfo(file).fileName().chopped(4);
    return true;
}

int ProgressStore::readTotal(const QString& name, int keptLength) const
{
    const QString file = path(name, QStringLiteral(".ini"));
    if (QFileInfo::exists(file)) {
        if (!App::isRegularOrMissing(file)) {
            qWarning("读取跟打进度失败: %s (不是普通文件)", qUtf8Printable(file));
            return qMax(0, keptLength);
        }
        return Bounded::toInt(QSettings(file, QSettings::IniFormat).value(kGroupKey), 0);
    }
    // A text keeps the length it had when its progress file was made.
    if (keptLength > 0)
        writeTotal(name, keptLength);
    return qMax(0, keptLength);
}

bool ProgressStore::writeTotal(const QString& name, int total) const
{
    const QString file = path(name, QStringLiteral(".ini"));
    if (!QDir().mkpath(m_folder) || !App::isRegularOrMissing(file)) {
        qWarning("保存跟打进度失败: %s", qUtf8Printable(file));
        return false;
    }
    QSettings progress(file, QSettings::IniFormat);
    progress.setValue(kGroupKey, total);
    progress.sync();
    if (progress.status() != QSettings::NoError) {
        qWarning("保存跟打进度失败: %s (status %d)", qUtf8Printable(file), int(progress.status()));
        return false;
    }
    return true;
}

void App::readProgress()
{
    Zdzs = ProgressStore().readTotal(Zdname, SendText.size());
}

void App::writeProgress()
{
    ProgressStore().writeTotal(Zdname, Zdzs);
}
