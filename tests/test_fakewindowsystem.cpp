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
void addWindows(FakeWindowSystem& desktop, FakeWindowSystem::Window chat = {})
{
    chat.handle = Chat;
    chat.title = QStringLiteral("测试群");
    chat.client = QRect(104, 80, 392, 266);
    desktop.addWindow(chat);
    FakeWindowSystem::Window self;
    self.handle = Self;
    self.title = QStringLiteral("Tavrel 1.36");
    desktop.addWindow(self);
    desktop.setForeground(Self);
}

} // namespace

// The fake stands in for the desktop in the window tests, so it follows the X11 one's rules.
class TestFakeWindowSystem : public QObject
{
    Q_OBJECT

private slots:
    void activation_data()
    {
        QTest::addColumn<QVector<bool>>("state"); // visible, enabled, accepts activation, minimised
        QTest::addColumn<bool>("active");
        QTest::addRow("normal window") << QVector<bool>{true, true, true, false} << true;
        QTest::addRow("minimised window is restored") << QVector<bool>{true, true, true, true} << true;
        QTest::addRow("hidden window") << QVector<bool>{false, true, true, false} << false;
        QTest::addRow("disabled window") << QVector<bool>{true, false, true, false} << false;
        QTest::addRow("refusing window") << QVector<bool>{true, true, false, false} << false;
    }

    void activation()
    {
        QFETCH(QVector<bool>, state);
        QFETCH(bool, active);
        FakeWindowSystem desktop;
        FakeWindowSystem::Window chat;
        chat.visible = state[0];
        chat.enabled = state[1];
        chat.acceptsActivation = state[2];
        chat.minimized = state[3];
        addWindows(desktop, chat);
        QCOMPARE(desktop.setForegroundWindow(Chat, 300), active);
        QCOMPARE(desktop.foregroundWindow(), active ? Chat : Self);
        QCOMPARE(desktop.isWindowMinimized(Chat), state[3] && !active);
        // An activated window comes to the top of the list, as the X11 stacking list has it.
        QCOMPARE(desktop.topLevelWindows().first().handle, active ? Chat : Self);
        QCOMPARE(desktop.findWindow(QStringLiteral("测试群")), Chat);
        QCOMPARE(desktop.calls().first().text(), QStringLiteral("setForegroundWindow 0x2a 300"));
    }

    void postingSequenceIsRecordedInOrder()
    {
        FakeWindowSystem desktop;
        addWindows(desktop);
        QRect rect;
        QVERIFY(desktop.showWindow(Chat, ShowCommand::ShowNormal) && desktop.clientRect(Chat, &rect));
        QVERIFY(rect.contains(300, 213) && desktop.setCursorPos(300, 213) && desktop.leftClick());
        QVERIFY(desktop.setForegroundWindow(Chat));
        QVERIFY(desktop.keyChord(vk::Control, vk::V) && desktop.keyChord(vk::Alt, vk::S));
        QVERIFY(!desktop.keyEvent(13, false)); // Enter has no key in this layer: recorded, nothing held
        QCOMPARE(desktop.callTexts().join(';'),
                 QStringLiteral("showWindow 0x2a normal;setCursorPos 300 213;mouseLeftButton down;mouseLeftButton up;"
                                "setForegroundWindow 0x2a 500;keyEvent 17 down;keyEvent 86 down;keyEvent 86 up;"
                                "keyEvent 17 up;keyEvent 18 down;keyEvent 83 down;keyEvent 83 up;keyEvent 18 up;"
                                "keyEvent 13 down"));
        QVERIFY(desktop.heldKeys().isEmpty());
        QCOMPARE(desktop.cursorPos(), QPoint(300, 213));
        // Each call knows the window in front at the time; times never run backwards.
        const auto& calls = desktop.calls();
        for (int i = 0; i < calls.size(); ++i) {
            QCOMPARE(calls.at(i).foreground, calls.at(i).name == "keyEvent" ? Chat : Self);
            QVERIFY(i == 0 || calls.at(i).msecs >= calls.at(i - 1).msecs);
        }
        // A bad handle gives false and leaves the rectangle as it was.
        QVERIFY(!desktop.clientRect(0x99, &rect) && !desktop.showWindow(0x99, ShowCommand::Minimize));
        QCOMPARE(rect, QRect(104, 80, 392, 266));
        QVERIFY(desktop.windowTitle(0x99).isEmpty() && !desktop.setForegroundWindow(0));
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
        // Queries are recorded too, only left out of callTexts() unless asked for.
        QCOMPARE(desktop.callTexts().size(), 3);
        QVERIFY(desktop.callTexts(true).contains(QStringLiteral("isWindowMinimized 0x2a")));
    }

    void reactionSeesEveryCallBeforeItActs()
    {
        FakeWindowSystem desktop;
        addWindows(desktop);
        QVERIFY(desktop.setForegroundWindow(Chat));
        desktop.clearCalls();
        // A scripted chat window that copies its history on C going down with Control held.
        int copies = 0;
        int seen = 0;
        desktop.setReaction([&](const FakeWindowSystem::Call& call) {
            ++seen;
            copies += call.text() == QLatin1String("keyEvent 67 down") && desktop.heldKeys().contains(vk::Control) &&
                      call.foreground == Chat;
        });
        QVERIFY(desktop.keyChord(vk::Control, vk::A) && desktop.keyStroke(vk::C));
        QCOMPARE(copies, 0);
        QVERIFY(desktop.keyChord(vk::Control, vk::C));
        QCOMPARE(copies, 1);
        QCOMPARE(seen, desktop.calls().size());
    }

    void injectedSystemReplacesDefault()
    {
        // Without a GUI application the default desktop is empty and activates nothing, so a test that
        // forgot to inject its own never sends a key.
        platform::WindowSystem& fallback = platform::windowSystem();
        QVERIFY(fallback.topLevelWindows().isEmpty() && !fallback.setForegroundWindow(Chat, 0));
        FakeWindowSystem desktop;
        addWindows(desktop);
        platform::setWindowSystem(&desktop);
        QCOMPARE(platform::windowSystem().findWindow(QStringLiteral("测试群")), Chat);
        platform::setWindowSystem(nullptr);
        QCOMPARE(&platform::windowSystem(), &fallback);
    }
};

QTEST_GUILESS_MAIN(TestFakeWindowSystem)
#include "test_fakewindowsystem.moc"
