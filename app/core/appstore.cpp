#include "app/core/app.h"

#include "app/core/bounded.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTextCodec>
#include <QVariant>

#include <algorithm>
#include <variant>
#include <vector>

namespace {

// The record lives in the per-user native store, apart from the settings file.
const QString kStoreOrganisation = QStringLiteral("VEK Helper");
const QString kStoreApplication = QStringLiteral("VEK");
const QString kStoreGroup = QStringLiteral("VekConfig");

// The record's keys, in the order they are set (the file lists them by name either way). Counts and
// times are never negative; a hand-edited or foreign value is clamped into range. What is not stored
// reads as zero, false or the empty text.
struct RecordEntry
{
    const char* key;
    std::variant<int*, double*, QString*, bool*> global;
};

const RecordEntry kRecordTable[] = {
    {"Jilu", &App::Jilu},
    {"TempJilu", &App::TempJilu},
    {"Totaljs", &App::Totaljs},
    {"Totalti", &App::Totalti},
    {"Totalco", &App::Totalco},
    {"Day", &App::Day},
    {"Day2", &App::Day2},
    {"CurrentUserName", &App::CurrentUserName},
    {"CurrentUserPwd", &App::CurrentUserPwd},
    {"RecordUser", &App::RecordUser},
    {"RecordClearPending", &App::RecordClearPending},
    {"RecordClearUser", &App::RecordClearUser},
    {"TotalsClearUser", &App::TotalsClearUser},
    {"RecordSyncUser", &App::RecordSyncUser},
    {"OwedRecords", &App::OwedRecords},
};

void readRecordValue(const RecordEntry& entry, const QVariant& value)
{
    if (auto p = std::get_if<int*>(&entry.global))
        **p = Bounded::toInt(value, 0);
    else if (auto p = std::get_if<double*>(&entry.global))
        **p = Bounded::toDouble(value, 0.0, 1e15);
    else if (auto p = std::get_if<QString*>(&entry.global))
        **p = value.toString();
    else if (auto p = std::get_if<bool*>(&entry.global))
        **p = value.toBool();
}

bool hasPrefix(const QByteArray& bytes, const char* prefix, int size)
{
    return bytes.size() >= size && bytes.startsWith(QByteArray::fromRawData(prefix, size));
}

QString decodeWith(const char* codecName, const QByteArray& bytes)
{
    QTextCodec* codec = QTextCodec::codecForName(codecName);
    return codec ? codec->toUnicode(bytes) : QString::fromLatin1(bytes);
}

// Strict check: a stray byte or a sequence cut off at the end means the bytes are not UTF-8.
bool isValidUtf8(const char* data, int size, QString* decoded)
{
    QTextCodec* codec = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState state;
    *decoded = codec->toUnicode(data, size, &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

bool isAscii(const char* data, int size)
{
    return std::all_of(data, data + size, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Text that is not valid UTF-8 as a whole: a UTF-8 file with a few broken lines, or a GB18030 file
// (some of whose lines may be valid UTF-8 by chance: 茅 is C3 A9, "é"). The lines holding non-ASCII
// bytes vote; when most of them are UTF-8, each other line is read as GB18030 on its own, else the
// whole text is GB18030. Lines end at LF, which is no part of a multi-byte character in either.
QString decodeMixed(const QByteArray& bytes)
{
    struct Line
    {
        int start;
        int size;
        bool utf8;
        QString text;
    };
    std::vector<Line> lines;
    int utf8Lines = 0;
    int otherLines = 0;
    for (int start = 0; start <= bytes.size();) {
        int end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        Line line{start, end - start, true, QString()};
        if (!isAscii(bytes.constData() + start, line.size)) {
            line.utf8 = isValidUtf8(bytes.constData() + start, line.size, &line.text);
            ++(line.utf8 ? utf8Lines : otherLines);
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    QTextCodec* gb = QTextCodec::codecForName("GB18030");
    if (utf8Lines <= otherLines || !gb)
        return decodeWith("GB18030", bytes);
    QString text;
    text.reserve(bytes.size());
    for (const Line& line : lines) {
        if (&line != &lines.front())
            text += QLatin1Char('\n');
        const char* data = bytes.constData() + line.start;
        if (!line.utf8)
            text += gb->toUnicode(data, line.size);
        else if (!line.text.isNull())
            text += line.text;
        else
            text += QLatin1String(data, line.size);
    }
    return text;
}

// The native store's own file and its organisation-wide fallback, found without opening them
// (a settings object reads its files as it is made): a probe under a name nobody uses tells the
// folder and the suffix.
QStringList nativeStoreFiles()
{
    const QFileInfo probe(
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("tavrel-probe"), QStringLiteral("p"))
            .fileName());
    const QString base = QFileInfo(probe.path()).path() + QLatin1Char('/');
    const QString suffix = QLatin1Char('.') + probe.suffix();
    return {base + kStoreOrganisation + QLatin1Char('/') + kStoreApplication + suffix,
            base + kStoreOrganisation + suffix};
}

bool nativeStoreUsable()
{
    for (const QString& path : nativeStoreFiles()) {
        if (!App::isRegularOrMissing(path)) {
            qWarning("跟打记录不可用: %s (不是普通文件)", qUtf8Printable(path));
            return false;
        }
    }
    return true;
}

void warnIfFailed(const QSettings& settings, const char* what)
{
    if (settings.status() != QSettings::NoError)
        qWarning("%s: %s (status %d)", what, qUtf8Printable(settings.fileName()), int(settings.status()));
}

} // namespace

bool App::isRegularOrMissing(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

void App::readStats()
{
    if (!nativeStoreUsable())
        return;
    QSettings store(kStoreOrganisation, kStoreApplication);
    store.beginGroup(kStoreGroup);
    for (const RecordEntry& entry : kRecordTable)
        readRecordValue(entry, store.value(QLatin1String(entry.key)));
    // A store from before the clearing kept its account: a pending one is the record's account's.
    if (!store.contains(QStringLiteral("RecordClearUser")))
        RecordClearUser = RecordClearPending ? RecordUser : QString();
    store.endGroup();
}

void App::writeStats()
{
    if (!nativeStoreUsable())
        return;
    QSettings store(kStoreOrganisation, kStoreApplication);
    store.beginGroup(kStoreGroup);
    for (const RecordEntry& entry : kRecordTable)
        store.setValue(QLatin1String(entry.key), std::visit([](auto* p) { return QVariant(*p); }, entry.global));
    store.endGroup();
    store.sync();
    warnIfFailed(store, "保存跟打记录失败");
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
    // A UTF-8 mark needs no branch: the strict UTF-8 check below drops it as it decodes.
    if (hasPrefix(bytes, "\xFF\xFE", 2))
        return decodeWith("UTF-16LE", bytes.mid(2));
    if (hasPrefix(bytes, "\xFE\xFF", 2))
        return decodeWith("UTF-16BE", bytes.mid(2));
    QString text;
    if (isValidUtf8(bytes.constData(), bytes.size(), &text))
        return text;
    // Files made on Chinese Windows without a byte-order mark, or a UTF-8 file with broken lines.
    return decodeMixed(bytes);
}

QString App::readTextFile(const QString& path, bool* ok)
{
    QFile file(path);
    if (!isRegularOrMissing(path) || !file.open(QIODevice::ReadOnly)) {
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
