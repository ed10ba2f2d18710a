// The typing-record reader: any native-store file is read without harm, the counts come back in
// their range, and what was read survives a write and a second read.
#include "app/core/app.h"
#include "fuzzinput.h"

#include <QSettings>

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzFolder folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::currentPath());
    writeBytes(QSettings(QStringLiteral("VEK Helper"), QStringLiteral("VEK")).fileName(), data, size);
    App::readStats();
    FUZZ_CHECK(App::Jilu >= 0 && App::TempJilu >= 0 && App::Totaljs >= 0 && App::Totalco >= 0);
    FUZZ_CHECK(std::isfinite(App::Totalti) && App::Totalti >= 0);
    const auto record = [] {
        return QStringList{QString::number(App::Jilu), QString::number(App::TempJilu), QString::number(App::Totaljs),
                           QString::number(App::Totalti, 'g', 17), QString::number(App::Totalco)} +
               QStringList{App::Day,
                           App::Day2,
                           App::CurrentUserName,
                           App::CurrentUserPwd,
                           App::RecordUser,
                           QString::number(App::RecordClearPending),
                           App::RecordClearUser,
                           App::TotalsClearUser,
                           App::RecordSyncUser,
                           App::OwedRecords};
    };
    const QStringList first = record();
    App::writeStats();
    App::readStats();
    const QStringList second = record();
    FUZZ_CHECK(first == second);
    return 0;
}
