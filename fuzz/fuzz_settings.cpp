// The settings reader: any settings file is read without harm, a file it had to complete is kept
// aside byte for byte, and what it read survives a write and a second read unchanged.
#include "app/core/app.h"
#include "fuzzinput.h"

#include <QVariant>

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
    App::resetConfig();
    App::readConfig();
    for (int i = 0; i < App::configKeyCount(); ++i)
        FUZZ_CHECK(App::configValue(i) == first.at(i));
    return 0;
}
