#include "app/startup.h"

#include "app/core/app.h"
#include "app/core/connection.h"
#include "app/core/singleinstance.h"
#include "app/frmmessagebox.h"
#include "app/look.h"
#include "input/inputpanel.h"
#include "platform/keysource.h"
#include "typing/coresettings.h"
#include "typing/frmmain.h"

#include <QApplication>
#include <QDebug>
#include <QTranslator>

#include <memory>

#include <unistd.h>

int runTrainer(int argc, char** argv)
{
    QApplication app(argc, argv);
    applyWindowFonts();
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
