// The settings reader: any settings file is read without harm, and what it read survives a write
// and a second read unchanged.
#include "app/core/app.h"
#include "fuzzinput.h"

#include <QVariant>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzFolder folder;
    writeBytes(QStringLiteral("CONFIG/settings.ini"), data, size);
    App::resetConfig();
    App::readConfig();
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
