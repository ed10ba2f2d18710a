#include "app/core/app.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTextCodec>
#include <QVariant>

namespace {

const QString kProgressFolder = QStringLiteral("跟打进度");
const QString kProgressGroup = QStringLiteral("AppConfig");
const QString kProgressKey = QStringLiteral("Zdzs");

// The record lives in the per-user native store, apart from the settings file.
const QString kStoreOrganisation = QStringLiteral("VEK Helper");
const QString kStoreApplication = QStringLiteral("VEK");
const QString kStoreGroup = QStringLiteral("VekConfig");

bool hasPrefix(const QByteArray& bytes, const char* prefix, int size)
{
    return bytes.size() >= size && bytes.startsWith(QByteArray::fromRawData(prefix, size));
}

QString decodeWith(const char* codecName, const QByteArray& bytes)
{
    QTextCodec* codec = QTextCodec::codecForName(codecName);
    return codec ? codec->toUnicode(bytes) : QString::fromLatin1(bytes);
}

// Strict check: a stray byte or a sequence cut off at the end means the file is not UTF-8.
bool isValidUtf8(const QByteArray& bytes, QString* decoded)
{
    QTextCodec* codec = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState state;
    *decoded = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

void warnIfFailed(const QSettings& settings, const char* what)
{
    if (settings.status() != QSettings::NoError)
        qWarning("%s: %s (status %d)", what, qUtf8Printable(settings.fileName()), int(settings.status()));
}

} // namespace

void App::readStats()
{
    QSettings store(kStoreOrganisation, kStoreApplication);
    store.beginGroup(kStoreGroup);
    Jilu = store.value(QStringLiteral("Jilu")).toInt();
    TempJilu = store.value(QStringLiteral("TempJilu")).toInt();
    Totaljs = store.value(QStringLiteral("Totaljs")).toInt();
    Totalti = store.value(QStringLiteral("Totalti")).toDouble();
    Totalco = store.value(QStringLiteral("Totalco")).toInt();
    Day = store.value(QStringLiteral("Day")).toString();
    Day2 = store.value(QStringLiteral("Day2")).toString();
    CurrentUserName = store.value(QStringLiteral("CurrentUserName")).toString();
    CurrentUserPwd = store.value(QStringLiteral("CurrentUserPwd")).toString();
    store.endGroup();
}

void App::writeStats()
{
    QSettings store(kStoreOrganisation, kStoreApplication);
    store.beginGroup(kStoreGroup);
    store.setValue(QStringLiteral("Jilu"), Jilu);
    store.setValue(QStringLiteral("TempJilu"), TempJilu);
    store.setValue(QStringLiteral("Totaljs"), Totaljs);
    store.setValue(QStringLiteral("Totalti"), Totalti);
    store.setValue(QStringLiteral("Totalco"), Totalco);
    store.setValue(QStringLiteral("Day"), Day);
    store.setValue(QStringLiteral("Day2"), Day2);
    store.setValue(QStringLiteral("CurrentUserName"), CurrentUserName);
    store.setValue(QStringLiteral("CurrentUserPwd"), CurrentUserPwd);
    store.endGroup();
    store.sync();
    warnIfFailed(store, "保存跟打记录失败");
}

QString App::progressPath(const QString& name, const QString& suffix)
{
    // Text titles come from chats and servers: no separator and no ".." may reach the file system,
    // so the file always lands directly in the progress folder. Other names map unchanged.
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    safe.replace(QLatin1Char('\\'), QLatin1Char('_'));
    safe.replace(QStringLiteral(".."), QStringLiteral("_"));
    return kProgressFolder + QLatin1Char('/') + safe + suffix;
}

void App::readProgress()
{
    const QString path = progressPath(Zdname, QStringLiteral(".ini"));
    if (QFile::exists(path)) {
        QSettings progress(path, QSettings::IniFormat);
        progress.beginGroup(kProgressGroup);
        Zdzs = progress.value(kProgressKey).toInt();
        progress.endGroup();
        return;
    }
    // A text keeps the length it had when its progress file was made.
    Zdzs = SendText.size();
    if (Zdzs != 0)
        writeProgress();
}

void App::writeProgress()
{
    if (!QDir().mkpath(kProgressFolder))
        qWarning("无法创建文件夹: %s", qUtf8Printable(kProgressFolder));
    QSettings progress(progressPath(Zdname, QStringLiteral(".ini")), QSettings::IniFormat);
    progress.beginGroup(kProgressGroup);
    progress.setValue(kProgressKey, Zdzs);
    progress.endGroup();
    progress.sync();
    warnIfFailed(progress, "保存跟打进度失败");
}

bool App::writeFile(const QString& path, const QString& text)
{
    // Written aside and renamed over the old file, so a failure never leaves half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning("写入文件失败: %s (%s)", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    // A short write at the final flush does not stop commit(), so the flush is checked here; an
    // uncommitted file is discarded and the old one stays as it was.
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    if (!written || !file.commit()) {
        qWarning("写入文件失败: %s (%s)", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        return false;
    }
    return true;
}

QString App::decodeText(const QByteArray& bytes)
{
    if (hasPrefix(bytes, "\xEF\xBB\xBF", 3))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (hasPrefix(bytes, "\xFF\xFE", 2))
        return decodeWith("UTF-16LE", bytes.mid(2));
    if (hasPrefix(bytes, "\xFE\xFF", 2))
        return decodeWith("UTF-16BE", bytes.mid(2));
    QString text;
    if (isValidUtf8(bytes, &text))
        return text;
    // Files made on Chinese Windows without a byte-order mark.
    return decodeWith("GB18030", bytes);
}

QString App::readTextFile(const QString& path, bool* ok)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = false;
        return QString();
    }
    if (ok)
        *ok = true;
    return decodeText(file.readAll());
}

bool App::isGbChar(const QString& s)
{
    static QString list;
    static bool loaded = false;
    if (!loaded) {
        QFile file(QStringLiteral(":/image/GB.txt"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return false;
        list = decodeText(file.readAll());
        loaded = true;
    }
    return list.contains(s);
}
