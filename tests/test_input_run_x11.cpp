// A Chinese passage typed through the input-method panel with real key presses, in the real main
// window, with the generated code table: the run finishes with the panel's key counts.
#include "app/core/app.h"
#include "input/frminput.h"
#include "platform/keysource.h"
#include "typing/coresettings.h"
#include "testsupport.h"
#include "typing/frmmain.h"
#include "x11support.h"

#include <QApplication>
#include <QClipboard>

class TestInputRunX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    platform::KeySource m_keys{&CoreSettings::countKeyWord}; // as start-up installs it

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_x.isOpen(), "needs an X display with XTest (run under test.sh)");
        App::initResources();
        QVERIFY(m_keys.install());
    }

    void passageTypedThroughThePanel()
    {
        TestDir dir;
        ts::resetWindowGlobals();
        QDir().mkpath("mb");
        QVERIFY(QFile::copy(qEnvironmentVariable("TAVREL_BUILD_DIR") + "/mb/五笔.txt", "mb/五笔.txt"));
        frmMain window;
        auto* pane = window.findChild<QTextEdit*>("textEdit2");
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QApplication::clipboard()->setText(QStringLiteral("中国一"));
        window.getClipboard();

        window.inputSlot();
        frmInput* panel = frmInput::self;
        QVERIFY(panel && !panel->isVisible() && !App::CountSelectKeys);
        window.findChild<QWidget*>("textEdit")->setFocus();
        pane->setFocus();
        QTRY_VERIFY(panel->isVisible() && pane->hasFocus());

        for (const char* key : {"k", "h", "l", "g", "space", "g", "g", "l", "l"}) {
            m_x.sym(XStringToKeysym(key), true);
            m_x.sym(XStringToKeysym(key), false);
            QTest::qWait(5); // a repeated key never looks like an auto-repeat
        }
        QTRY_VERIFY(pane->isReadOnly() && !window.clockRunning()); // the run has ended
        QCOMPARE(pane->toPlainText(), QStringLiteral("中国一"));
        // Eight letter keys clicked on the panel and Space; the keyboard counts the hands.
        QCOMPARE(App::KeyCount, 9);
        QCOMPARE(App::SelectCount, 0);
        QCOMPARE(App::LeftKeys, 3);
        QCOMPARE(App::RightKeys, 6);

        window.close();
        ts::consumeQuitRequest();
    }
};

QTEST_MAIN(TestInputRunX11)
#include "test_input_run_x11.moc"
