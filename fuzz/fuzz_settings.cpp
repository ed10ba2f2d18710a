// The settings reader: any settings file is read without harm, a file it had to complete is kept
// aside byte for byte, what it read survives a write and a second read unchanged, and the file written
// is ASCII.
#include "app/core/app.h"
#include "fuzzinput.h"

#include <QVariant>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzFolder folder;
    const QString kept = QStringLiteral("CONFIG/settings.ini.bad");
    QFile::remove(kept);
    writeBytes(QStringLiteral("CONFIG/settings.ini"), data, size);
    App::resetConfig();
    App::readConfig();
    QFile copy(kept);
    FUZZ_CHECK(!copy.exists() || (copy.open(QIODevice::ReadOnly) &&
                                  copy.readAll() == QByteArray(reinterpret_cast<const char*>(data), int(size))));
    QVariantList first;
    for (int i = 0; i < App::configKeyCount(); ++i)
        first << App::configValue(i);
    App::writeConfig();
    // Whatever the old file's encoding, the new one is in the toolkit's escapes, as any version reads it.
    QFile written(QStringLiteral("CONFIG/settings.ini"));
    FUZZ_CHECK(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    FUZZ_CHECK(std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }));
    App::resetConfig();
    App::readConfig();
    for (int i = 0; i < App::configKeyCount(); ++i)
        FUZZ_CHECK(App::configValue(i) == first.at(i));
    return 0;
}
