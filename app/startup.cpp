#include "app/startup.h"

#include "app/core/app.h"
#include "app/core/connection.h"
#include "app/frmmessagebox.h"
#include "app/core/singleinstance.h"
#include "input/inputpanel.h"
#include "platform/keysource.h"
#include "typing/coresettings.h"
#include "typing/frmmain.h"

#include <QApplication>
#include <QColor>
#include <QDebug>
#include <QFile>
#include <QFont>
#include <QPalette>
#include <QTranslator>

#include <memory>

#include <unistd.h>

namespace {

// The forms ask for the Windows UI font by name; on Linux it is mapped to an installed Chinese font.
void mapWindowsFonts()
{
    const QStringList chinese = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                 QStringLiteral("Source Han Sans SC"),  QStringLiteral("WenQuanYi Zen Hei"),
                                 QStringLiteral("Droid Sans Fallback"), QStringLiteral("AR PL UMing CN")};
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"), chinese);
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei"), chinese);
}

} // namespace

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

int runTrainer(int argc, char** argv)
{
    QApplication app(argc, argv);
    mapWindowsFonts();
    App::initResources();
    App::loadDeployment();

    App::readConfig();
    App::readStats();
    App::readProgress();

    applyStyleSheet(App::Style);

    App::DbOnline = createConnection();

    QApplication::setApplicationName(QStringLiteral("VEK"));
    QApplication::setApplicationVersion(QStringLiteral("V201505"));

    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral(":/image/qt_zh_CN.qm")))
        qDebug() << "翻译：无法载入";
    QApplication::installTranslator(translator);

    // One trainer per user and display; a display-less platform counts as one display.
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY", QGuiApplication::platformName());
    SingleInstance guard(SingleInstance::sessionKey(QStringLiteral("VEK"), uint(::getuid()), display));
    if (!guard.acquire()) {
        frmMessageBox box;
        box.SetMessage(QStringLiteral("程序已运行,软件将自动关闭!"), 0);
        box.exec();
        return 1;
    }

    // Prepared hidden; it attaches to the typing pane only after the main window's input command.
    if (App::Opensrf)
        InputPanel::open(false);

    int result = 0;
    {
        auto window = std::make_unique<frmMain>();
        window->show();

        // Keys are counted from here on, for the whole run; keys pressed while the window was
        // being built are not. Without an X display nothing is installed and nothing is counted.
        platform::KeySource keySource(&CoreSettings::countKeyWord);
        if (!keySource.install())
            qDebug() << "按键统计：未安装";

        result = QApplication::exec();
    } // the window goes before the guard releases the segment
    return result;
}
