#include "account/core/hotkeys.h"

namespace HotKeys {

const QStringList& keyNames()
{
    static const QStringList names = {
        QStringLiteral("Kjsz"), QStringLiteral("Kjfw"), QStringLiteral("Kjcd"), QStringLiteral("Kjlx"),
        QStringLiteral("Kjzt"), QStringLiteral("Kjzj"), QStringLiteral("Kjfx"), QStringLiteral("Kjtz"),
        QStringLiteral("Kjsd"), QStringLiteral("Kjzd"), QStringLiteral("Kjhq"), QStringLiteral("Kjcj"),
        QStringLiteral("Kjlb"), QStringLiteral("Kjjy"), QStringLiteral("Kjcf"), QStringLiteral("Kjsh"),
    };
    return names;
}

bool conflict(const QStringList& keys)
{
    // Each key in brackets on a line of its own, so "[F4]" is not found inside "[CTRL+F4]"; empty
    // keys drop out and are never compared.
    QString list;
    for (const QString& key : keys)
        list += QLatin1Char('[') + key + QStringLiteral("]\n");
    list.remove(QStringLiteral("[]"));

    const QStringList entries = list.split(QLatin1Char('\n'));
    for (const QString& entry : entries) {
        if (!entry.isEmpty() && list.count(entry) > 1)
            return true;
    }
    return list.contains(QStringLiteral("CTRL+O")) || list.contains(QStringLiteral("CTRL+S"));
}

} // namespace HotKeys
