#include "app/iconhelper.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QMutex>
#include <QMutexLocker>

IconHelper* IconHelper::self = nullptr;

IconHelper* IconHelper::Instance()
{
    if (!self) {
        static QMutex mutex;
        QMutexLocker locker(&mutex);
        if (!self)
            self = new IconHelper;
    }
    return self;
}

IconHelper::IconHelper(QObject*) : QObject(QCoreApplication::instance())
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/image/fontawesome-webfont.ttf"));
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    if (!families.isEmpty()) {
        m_family = families.first();
        iconFont = QFont(m_family);
    } else {
        qWarning("IconHelper: the icon font could not be registered; title buttons use the default font");
    }
}

void IconHelper::setIcon(QLabel* label, QChar c, int size)
{
    iconFont.setPointSize(size);
    label->setFont(iconFont);
    label->setText(QString(c));
}

void IconHelper::setIcon(QAbstractButton* button, QChar c, int size)
{
    iconFont.setPointSize(size);
    button->setFont(iconFont);
    button->setText(QString(c));
}
