#include "platform/fakewindowsystem.h"

#include <QtTest>

using platform::FakeWindowSystem;
using platform::ShowCommand;
using platform::WindowHandle;
namespace vk = platform::vk;

namespace {

constexpr WindowHandle Chat = 0x2a;
constexpr WindowHandle Self = 0x51;

// A desktop with the trainer on top and in front, the chat window below it.
void addWindows(FakeWindowSystem& desktop, FakeWindowSystem::Window chat = {Chat})
{
    desktop.addWindow(chat);
    desktop.addWindow({Self});
    desktop.setForeground(Self);
}

} // namespace

// The fake stands in for the desktop in the window tests, so it follows the X11 one's rules. The call
// recording, the reactions and the injection are exercised by the chat tests that rely on them.
class TestFakeWindowSystem : public QObject
{
    Q_OBJECT

private slots:
    void activation_data()
    {
        QTest::addColumn<QVector<bool>>("state"); // visible, enabled, minimised, accepts activation
        QTest::addColumn<bool>("active");
        QTest::addRow("normal window") << QVector<bool>{true, true, false, true} << true;
        QTest::addRow("minimised window is restored") << QVector<bool>{true, true, true, true} << true;
        QTest::addRow("hidden window") << QVector<bool>{false, true, false, true} << false;
        QTest::addRow("disabled window") << QVector<bool>{true, false, false, true} << false;
        QTest::addRow("refusing window") << QVector<bool>{true, true, false, false} << false;
    }

    void activation()
    {
        QFETCH(QVector<bool>, state);
        QFETCH(bool, active);
        FakeWindowSystem desktop;
        addWindows(desktop, {Chat, QString(), state[0], state[1], state[2], state[3]});
        QCOMPARE(desktop.setForegroundWindow(Chat, 300), active);
        QCOMPARE(desktop.foregroundWindow(), active ? Chat : Self);
        QCOMPARE(desktop.isWindowMinimized(Chat), state[2] && !active);
        // An activated window comes to the top of the list, as the X11 stacking list has it.
        QCOMPARE(desktop.topLevelWindows().first().handle, active ? Chat : Self);
    }

    void minimiseDropsFocusAndKeepsWindowVisible()
    {
        FakeWindowSystem desktop;
        addWindows(desktop);
        QVERIFY(desktop.setForegroundWindow(Chat));
        QVERIFY(desktop.showWindow(Chat, ShowCommand::Minimize));
        QVERIFY(desktop.isWindowMinimized(Chat) && desktop.isWindowVisible(Chat));
        QCOMPARE(desktop.foregroundWindow(), WindowHandle(0));
        QVERIFY(desktop.showWindow(Chat, ShowCommand::ShowNormal));
        QVERIFY(!desktop.isWindowMinimized(Chat));
        // A chord releases what it pressed; a key with no key in this layer is recorded and refused.
        QVERIFY(desktop.keyChord(vk::Control, vk::V) && desktop.heldKeys().isEmpty());
        QVERIFY(!desktop.keyEvent(13, false));
        QCOMPARE(desktop.callTexts().last(), QStringLiteral("keyEvent 13 down"));
        // A bad handle gives false and leaves the rectangle as it was.
        QRect rect(1, 2, 3, 4);
        QVERIFY(!desktop.clientRect(0x99, &rect) && !desktop.showWindow(0x99, ShowCommand::Minimize));
        QCOMPARE(rect, QRect(1, 2, 3, 4));
        QVERIFY(desktop.windowTitle(0x99).isEmpty() && !desktop.setForegroundWindow(0));
    }

    void defaultSystemActivatesNothing()
    {
        // Without a GUI application the default desktop is empty and activates nothing, so a test that
        // forgot to inject its own never sends a key.
        platform::WindowSystem& fallback = platform::windowSystem();
        QVERIFY(fallback.topLevelWindows().isEmpty() && !fallback.setForegroundWindow(Chat, 0));
    }
};

QTEST_GUILESS_MAIN(TestFakeWindowSystem)
#include "test_fakewindowsystem.moc"
