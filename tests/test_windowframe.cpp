// The main window's frame as a user meets it.
#include "testsupport.h"

#include <QSystemTrayIcon>

using namespace ts;

class TestWindowFrame : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_f;

private slots:
    void initTestCase() { App::initResources(); }
    void init() { m_f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { m_f.reset(); }

    void resetSizeIsSaved()
    {
        frmMain& w = m_f->open(true);
        w.resize(700, 500);
        QTRY_COMPARE(configFileValue("Width").toInt(), 700);
        m_f->action({"复位"})->trigger();
        QTRY_COMPARE(configFileValue("Width").toInt(), 650);
        QCOMPARE(configFileValue("Height").toInt(), 475);
    }

    // No tray runs here: the icon is shown all the same, for a tray that starts later.
    void trayIconShownWithoutTray()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        frmMain& w = m_f->open();
        auto* icon = w.findChild<QSystemTrayIcon*>();
        QVERIFY(icon && icon->isVisible());
    }

    // The tests load no application style sheet, as when the configured scheme does not exist.
    void paneFontWithoutStyleSheet()
    {
        QVERIFY(qApp->styleSheet().isEmpty());
        m_f->open(true);
        for (QTextEdit* pane : {m_f->reference(), m_f->typing()})
            QCOMPARE(QFontInfo(pane->font()).pointSize(), 26);
    }
};

QTEST_MAIN(TestWindowFrame)
#include "test_windowframe.moc"
