#include "app/look.h"

#include <QApplication>
#include <QColor>
#include <QDebug>
#include <QFile>
#include <QFont>
#include <QPalette>

void applyWindowFonts()
{
    const QStringList chinese = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                 QStringLiteral("Source Han Sans SC"),  QStringLiteral("WenQuanYi Zen Hei"),
                                 QStringLiteral("Droid Sans Fallback"), QStringLiteral("AR PL UMing CN")};
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"), chinese);
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei"), chinese);
}

bool applyStyleSheet(const QString& name)
{
    QFile file(QStringLiteral(":/image/%1.css").arg(name));
    const bool opened = file.open(QFile::ReadOnly);
    QByteArray bytes = opened ? file.readAll() : QByteArray();
    // The rules are ASCII; anything after a stray NUL is not part of the sheet.
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    const QString sheet = QString::fromLatin1(bytes);
    qApp->setStyleSheet(sheet);

    // Every sheet starts with "QPalette{background:#rrggbb;}": the colour stands at index 20.
    const QColor colour(sheet.mid(20, 7));
    if (colour.isValid())
        qApp->setPalette(QPalette(colour));
    else
        qDebug() << "样式：没有调色板颜色" << name;
    return opened;
}
