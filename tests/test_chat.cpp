// The chat-window road of the main window against the recording desktop: window list, group menu,
// posting with its waits, the guard, the operation queue, capture, and the end of a run.
#include "app/core/app.h"
#include "platform/fakewindowsystem.h"
#include "testsupport.h"
#include "typing/core/capture.h"
#include "typing/frmmain.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>

#include <algorithm>

#include <memory>

using namespace ts;
using platform::FakeWindowSystem;
using Call = FakeWindowSystem::Call;

namespace {

constexpr platform::WindowHandle Self = 0x1;
constexpr platform::WindowHandle Chat = 0x10;
const QString ChatTitle = QStringLiteral("测试群");
const QString Line = QStringLiteral("第1段 速度120.00 击键6.00 码长3.00 校检:abcde");
const QString UserCopy = QStringLiteral("用户复制的内容");
const QStringList PasteKeys{"17 down", "86 down", "86 up", "17 up"};
const QStringList SendKeys{"18 down", "83 down", "83 up", "18 up"};
const QStringList CopyKeys{"17 down", "65 down", "65 up", "17 up", "17 down", "67 down", "67 up", "17 up"};

QStringList prefixed(const QStringList& keys)
{
    QStringList calls;
    for (const QString& key : keys)
        calls << QStringLiteral("keyEvent ") + key;
    return calls;
}

// Notes every text the title label shows while it is alive, so a flashed message is seen.
class TitleWatcher : public QObject
{
public:
    explicit TitleWatcher(QLabel* label) : m_label(label)
    {
        connect(&m_poll, &QTimer::timeout, this, &TitleWatcher::sample);
        m_poll.start(5);
    }
    bool saw(const QString& part)
    {
        sample(); // a message meant to stay is never followed by another event
        return std::any_of(seen.begin(), seen.end(), [&part](const QString& text) { return text.contains(part); });
    }
    QStringList seen;

private:
    void sample()
    {
        if (seen.isEmpty() || seen.last() != m_label->text())
            seen << m_label->text();
    }
    QLabel* m_label;
    QTimer m_poll;
};

} // namespace

class TestChat : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { App::initResources(); }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        resetWindowGlobals();
        App::ChatHwnd = App::SelfHwnd = 0;
        App::ChatTitle.clear();
        App::ChatTitles.clear();
        App::Gdyslim = 10;
        App::Gdjs = QStringLiteral("不处理");
        m_pasted.clear();
        m_desktop = std::make_unique<FakeWindowSystem>();
        m_desktop->setReaction([this](const Call& call) { notePaste(call); });
        platform::setWindowSystem(m_desktop.get());
        addWindow(Self, App::AppTitle);
    }
    void cleanup()
    {
        if (m_window) {
            m_window->close();
            consumeQuitRequest();
        }
        m_window.reset();
        platform::setWindowSystem(nullptr);
        m_desktop.reset();
        m_dir.reset();
    }

    void windowListFilters_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("filters"); // of Gdyw, Gdsz, Gdcd (limit 12): the ones switched on
        QTest::addColumn<bool>("listed");
        QTest::addRow("Chinese only") << ChatTitle << "latin digits length" << true;
        QTest::addRow("Latin letter") << "跟打Q群" << "latin" << false;
        QTest::addRow("Latin letter allowed") << "跟打Q群" << "digits length" << true;
        QTest::addRow("digit") << "跟打2群" << "digits" << false;
        QTest::addRow("12 characters") << "一二三四五六七八九十甲乙" << "length" << true;
        QTest::addRow("13 characters") << "一二三四五六七八九十甲乙丙" << "length" << false;
        QTest::addRow("13 characters, no limit") << "一二三四五六七八九十甲乙丙" << "latin digits" << true;
        QTest::addRow("sending-state panel") << "发文状态" << "" << false;
    }

    void windowListFilters()
    {
        QFETCH(QString, title);
        QFETCH(QString, filters);
        QFETCH(bool, listed);
        App::Gdyw = filters.contains("latin");
        App::Gdsz = filters.contains("digits");
        App::Gdcd = filters.contains("length");
        App::Gdcdlim = 12;
        addWindow(Chat, title);
        openWindow();
        // The own window is found but never offered.
        QCOMPARE(App::SelfHwnd, Self);
        QCOMPARE(App::ChatTitles, listed ? QStringList{title} : QStringList());
        QStringList entries;
        for (QAction* action : m_window->m_chatMenu->actions())
            entries << action->text();
        QCOMPARE(entries, QStringList({"刷新", "潜水", ""}) + (listed ? QStringList{title} : QStringList()));
    }

    void duplicatesUnusableAndStaleWindows()
    {
        addWindow(0x12, ChatTitle);
        addWindow(0x11, ChatTitle);
        addWindow(0x13, QStringLiteral("隐藏群"));
        m_desktop->window(0x13)->visible = false;
        addWindow(0x14, QStringLiteral("禁用群"));
        m_desktop->window(0x14)->enabled = false;
        openWindow();
        QCOMPARE(App::ChatTitles, QStringList{ChatTitle});
        // Listed once, but each window of the title is bound in turn: the last one met.
        App::ChatTitle = ChatTitle;
        m_window->getHwnd();
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x12));
        // A window that has gone keeps its handle; the guard then refuses to post into it.
        m_desktop->removeWindow(0x11);
        m_desktop->removeWindow(0x12);
        m_window->getHwnd();
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x12));
        m_window->resultText = Line;
        m_window->cjSlot();
        QVERIFY(keyTexts().isEmpty());
    }

    void groupMenu()
    {
        addWindow(0x11, QStringLiteral("乙群"));
        addWindow(0x10, QStringLiteral("甲群"));
        openWindow();
        frmMain& w = *m_window;
        const auto entry = [&w](const QString& text) -> QAction* {
            for (QAction* action : w.m_chatMenu->actions())
                if (action->text() == text)
                    return action;
            return nullptr;
        };
        entry(QStringLiteral("乙群"))->trigger();
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x11));
        QCOMPARE(w.labChat->text(), QStringLiteral("QQ群: 乙群"));

        // Refreshing lists a new group but chooses nothing, whichever of the menu's and the entry's
        // own signal comes first; its own entry goes only after its signal.
        addWindow(0x12, QStringLiteral("丙群"));
        QPointer<QAction> refresh = entry(QStringLiteral("刷新"));
        w.qmenuActionClick(refresh);
        refresh->trigger();
        QVERIFY(refresh);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!refresh);
        QVERIFY(entry(QStringLiteral("丙群")));
        QCOMPARE(App::ChatTitle, QStringLiteral("乙群"));
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x11));

        // Lurking clears the binding: the result line is still copied, but no key is sent.
        entry(QStringLiteral("潜水"))->trigger();
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0));
        QCOMPARE(w.labChat->text(), QStringLiteral("Tavrel潜水中……"));
        w.resultText = Line;
        m_desktop->clearCalls();
        w.cjSlot();
        QCOMPARE(QApplication::clipboard()->text(), Line);
        QVERIFY(keyTexts().isEmpty());
    }

    void nextGroupCycles()
    {
        addWindow(0x12, QStringLiteral("丙群"));
        addWindow(0x11, QStringLiteral("乙群"));
        addWindow(0x10, QStringLiteral("甲群"));
        openWindow();
        QStringList chosen;
        for (int i = 0; i < 4; ++i) {
            m_window->hqSlot();
            chosen << App::ChatTitle;
        }
        QCOMPARE(chosen, QStringList({"乙群", "丙群", "甲群", "乙群"}));
        QCOMPARE(App::ChatHwnd, platform::WindowHandle(0x11));
        // With no group at all the choice stays.
        for (platform::WindowHandle handle : {0x10, 0x11, 0x12})
            m_desktop->removeWindow(handle);
        m_window->hqSlot();
        QCOMPARE(App::ChatTitle, QStringLiteral("乙群"));
    }

    void postSequence_data()
    {
        QTest::addColumn<QString>("afterSend");
        QTest::addColumn<QStringList>("afterCalls");
        QTest::addRow("back to the trainer") << "激活跟打器"
                                             << QStringList{"showWindow 0x1 normal", "setForegroundWindow 0x1 500"};
        QTest::addRow("minimise") << "最小化窗口" << QStringList{"showWindow 0x10 minimize"};
        QTest::addRow("leave it") << "不处理" << QStringList();
    }

    void postSequence()
    {
        QFETCH(QString, afterSend);
        QFETCH(QStringList, afterCalls);
        App::Gdjs = afterSend;
        App::Gdyslim = 70; // apart from the fixed 50 ms
        bindChat();
        m_window->resultText = Line;
        m_window->cjSlot();
        m_desktop->foregroundWindow(); // a query that only marks the time the post returned
        const qint64 end = m_desktop->calls().last().msecs;

        QCOMPARE(m_desktop->callTexts(), QStringList({"showWindow 0x10 normal", "setForegroundWindow 0x10 500"}) +
                                             prefixed(PasteKeys + SendKeys) + afterCalls);
        QCOMPARE(m_pasted, QStringList{Line});
        for (const Call& call : m_desktop->calls())
            if (call.name == QStringLiteral("keyEvent"))
                QCOMPARE(call.foreground, Chat);
        // The waits: 50 ms after activation, Gdyslim after the paste, 300 ms after sending.
        QVERIFY(timeOf("keyEvent 17 down") - timeOf("setForegroundWindow 0x10 500") >= 50);
        QVERIFY(timeOf("keyEvent 18 down") - timeOf("keyEvent 17 up") >= 70);
        QVERIFY((afterCalls.isEmpty() ? end : timeOf(afterCalls.first())) - timeOf("keyEvent 18 up") >= 300);
        QCOMPARE(App::ChatHwnd, Chat); // back in the trainer, the enumeration found the chat again
    }

    void guardRefusals_data()
    {
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QStringList>("keys");
        QTest::addRow("nothing bound") << 0 << QStringList();
        QTest::addRow("bound to the own window") << 1 << QStringList();
        QTest::addRow("hidden") << 2 << QStringList();
        QTest::addRow("disabled") << 3 << QStringList();
        QTest::addRow("lurking") << 4 << QStringList();
        QTest::addRow("activation refused") << 5 << QStringList();
        // The user clicks another window while the paste settles: no Alt+S into it.
        QTest::addRow("focus lost after the paste") << 6 << PasteKeys;
    }

    void guardRefusals()
    {
        QFETCH(int, refusal);
        bindChat();
        frmMain& w = *m_window;
        switch (refusal) {
        case 0: App::ChatHwnd = 0; break;
        case 1: App::ChatHwnd = Self; break;
        case 2: m_desktop->window(Chat)->visible = false; break;
        case 3: m_desktop->window(Chat)->enabled = false; break;
        case 4: App::ChatTitle = QStringLiteral("潜水"); break;
        case 5: m_desktop->window(Chat)->acceptsActivation = false; break;
        case 6:
            m_desktop->setReaction([this](const Call& call) {
                if (call.text() == QStringLiteral("keyEvent 17 up"))
                    m_desktop->setForeground(Self);
            });
            break;
        }
        QApplication::clipboard()->setText(UserCopy);
        TitleWatcher title(w.findChild<QLabel*>(QStringLiteral("lab_Title")));
        w.resultText = Line;
        w.cjSlot();
        QTEST(keyTexts(), "keys");
        QCOMPARE(QApplication::clipboard()->text(), Line); // copied whether or not it was sent
        QCOMPARE(title.saw(QStringLiteral("聊天窗口未能激活，未发送")), refusal >= 5);
        if (refusal <= 3) { // the capture's guard refuses the same windows and touches nothing
            m_desktop->clearCalls();
            w.zdzwSlot();
            QVERIFY(m_desktop->callTexts().isEmpty());
        }
    }

    void resultPostRules_data()
    {
        // The road: "hand" is the send command, "auto" the automatic post of a finished run,
        // "end" the post and next segment at the end of a run. Then what differs from the
        // defaults: "wrong" two wrong characters; "anyWrong" clears Gdcz; "lurk" sets Gdqs;
        // "limit" sets Gdsd (200) for a speed of 200.00, "fast" for 200.01; "cycle" runs a
        // sending cycle; "team" clears Dl.
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("posted");
        QTest::addRow("wrong characters kept back") << "auto wrong" << false;
        QTest::addRow("wrong characters by hand") << "hand wrong" << true;
        QTest::addRow("wrong characters allowed") << "auto wrong anyWrong" << true;
        QTest::addRow("solo practice in a cycle") << "auto cycle" << false;
        QTest::addRow("cycle, not solo") << "auto cycle team" << true;
        QTest::addRow("lurking") << "end lurk" << false;
        QTest::addRow("at the speed limit") << "end limit" << false;
        QTest::addRow("above the speed limit") << "end limit fast" << true;
    }

    // Unbound, a post only puts its text on the clipboard: whether it ran shows there at once.
    void resultPostRules()
    {
        QFETCH(QString, setting);
        QFETCH(bool, posted);
        const QStringList set = setting.split(QLatin1Char(' '));
        App::Gdcz = !set.contains("anyWrong");
        App::Gdqs = set.contains("lurk");
        App::Gdsd = set.contains("limit");
        App::Gdsdlim = 200;
        App::Dl = !set.contains("team");
        openWindow();
        frmMain& w = *m_window;
        w.sendStopped = !set.contains("cycle");
        setFinishedRun(set.contains("fast") ? "200.01" : "200.00", QStringLiteral("6.00"), set.contains("wrong") ? 2 : 0);
        QApplication::clipboard()->setText(UserCopy);
        if (set.contains("hand"))
            w.cjSlot();
        else if (set.contains("auto"))
            w.autoSendResultIfAllowed(w.takeFinishedRun());
        else
            w.sendResultAndNext(w.takeFinishedRun());
        QCOMPARE(QApplication::clipboard()->text(), posted ? Line : UserCopy);
    }

    // During the first post's wait a hot key asks for the segment post and a capture; both wait
    // their turn, with the text they were asked with, and no key of theirs comes in between.
    void operationsQueueInOrder()
    {
        bindChat();
        frmMain& w = *m_window;
        w.textTitle = QStringLiteral("春晓");
        w.segmentHeader = QStringLiteral("第2段");
        w.fullText = QString(30, QChar(0x6625));
        App::SentText = QString(20, QChar(0x6625));
        const QString post = buildFawenPost(w.textTitle, w.passage, w.segmentHeader, 10);
        const QString history = QStringLiteral("张三 12:00:00\n") +
                                buildFawenPost(QStringLiteral("新文"), QStringLiteral("夜来风雨声"), "第3段", 5);
        int keysWhenAsked = -1;
        m_desktop->setReaction([&](const Call& call) {
            notePaste(call);
            if (call.text() == QStringLiteral("keyEvent 86 down") && m_pasted.size() == 1) {
                QTimer::singleShot(0, &w, [&] {
                    keysWhenAsked = keyTexts().size();
                    w.shSlot();
                    w.zdzwSlot();
                    QCOMPARE(keyTexts().size(), keysWhenAsked);
                });
            } else if (call.text() == QStringLiteral("keyEvent 67 down")) {
                QApplication::clipboard()->setText(history);
            }
        });
        w.resultText = Line;
        w.cjSlot();
        QCOMPARE(keysWhenAsked, 4);
        QCOMPARE(m_pasted, QStringList({Line, post}));
        const QStringList expected = PasteKeys + SendKeys + PasteKeys + SendKeys + QStringList{"9 down", "9 up"} + CopyKeys;
        QCOMPARE(keyTexts(), expected);
        QCOMPARE(w.passage, QStringLiteral("夜来风雨声"));
        QCOMPARE(w.segmentHeader, QStringLiteral("第3段"));
    }

    void capture_data()
    {
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("focusCalls");
        // Frame corner (100, 100) plus half the client size (492 x 366).
        QTest::addRow("tab") << 0 << QStringLiteral("第4段") << prefixed({"9 down", "9 up"});
        QTest::addRow("mouse") << 1 << QStringLiteral("第4段")
                               << QStringList{"setCursorPos 346 283", "mouseLeftButton down", "mouseLeftButton up"};
        // The capture does not test the lurk title; a contest segment keeps its note.
        QTest::addRow("no focus step, lurk title, contest") << 2 << QStringLiteral("第999段") << QStringList();
    }

    void capture()
    {
        QFETCH(int, way);
        QFETCH(QString, header);
        QFETCH(QStringList, focusCalls);
        App::GetWay = way;
        bindChat();
        frmMain& w = *m_window;
        if (way == 2)
            App::ChatTitle = QStringLiteral("潜水");
        w.labSegment->setToolTip(QStringLiteral("比赛认证段"));
        App::CanUpload = true;
        const QString history = QStringLiteral("张三 12:00:00\n") +
                                buildFawenPost(QStringLiteral("旧文"), QStringLiteral("旧的一段"), "第3段", 100) +
                                QStringLiteral("\r\n张三 12:01:00\r\n") +
                                buildFawenPost(QStringLiteral("春晓"), QStringLiteral("夜来风雨声花落知多少"), header, 50);
        m_desktop->setReaction([&history](const Call& call) {
            if (call.text() == QStringLiteral("keyEvent 67 down"))
                QApplication::clipboard()->setText(history);
        });
        w.zdzwSlot();

        QCOMPARE(m_desktop->callTexts(), QStringList({"showWindow 0x10 normal", "setForegroundWindow 0x10 500"}) +
                                             focusCalls + prefixed(CopyKeys) +
                                             QStringList{"showWindow 0x10 minimize"});
        QVERIFY(timeOf("keyEvent 17 down") - timeOf("setForegroundWindow 0x10 500") >= 100);
        if (way == 1)
            QVERIFY(timeOf("mouseLeftButton down") - timeOf("setCursorPos 346 283") >= 50);
        QVERIFY(timeOf("showWindow 0x10 minimize") - timeOf("keyEvent 17 up", 1) >= 300);
        QCOMPARE(w.passage, QStringLiteral("夜来风雨声花落知多少"));
        QCOMPARE(w.textTitle, QStringLiteral("春晓"));
        QCOMPARE(w.labSegment->text(), QStringLiteral("段号: ") + header);
        QCOMPARE(w.labSegment->toolTip(), way == 2 ? QStringLiteral("比赛认证段") : QString());
        QVERIFY(!App::CanUpload);
    }

    void captureWithoutMarker()
    {
        bindChat();
        frmMain& w = *m_window;
        QApplication::clipboard()->setText(QStringLiteral("张三 12:00:00\n大家好"));
        const QString passageBefore = w.passage;
        TitleWatcher title(w.findChild<QLabel*>(QStringLiteral("lab_Title")));
        w.sdzwSlot();
        QVERIFY(title.saw(QStringLiteral("暂无文本！")));
        QCOMPARE(w.passage, passageBefore);
        QCOMPARE(m_desktop->callTexts(), QStringList{"showWindow 0x10 minimize"});
    }

    void resultBranch_data()
    {
        QTest::addColumn<bool>("freeRun");
        QTest::addColumn<bool>("popUp");  // TanChuang
        QTest::addColumn<bool>("limit");  // Limit, at 200
        QTest::addColumn<int>("answer");  // -1 no box expected, 0 no, 1 yes
        QTest::addColumn<bool>("posted");
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("message");
        QTest::addRow("no pop-up") << false << false << false << -1 << true << false << "跟打结束";
        QTest::addRow("not above the limit") << false << true << true << -1 << false << false << "跟打结束";
        QTest::addRow("accepted, whole text without ranking")
            << false << true << false << 1 << true << true << "上传成绩需要开启参与排名功能";
        QTest::addRow("declined") << false << true << false << 0 << false << true << "";
        QTest::addRow("free run accepted") << true << false << false << 1 << true << true << "";
        QTest::addRow("free run declined") << true << false << false << 0 << false << true << "";
    }

    void resultBranch()
    {
        QFETCH(bool, freeRun);
        QFETCH(int, answer);
        QFETCH(bool, posted);
        QFETCH(bool, reset);
        QFETCH(QString, message);
        QFETCH(bool, popUp);
        QFETCH(bool, limit);
        App::TanChuang = popUp;
        App::Limit = limit;
        App::Limitsudu = 200;
        App::Cypm = false;
        App::Uploadcj = true;
        App::GbtanChuang = true;
        openWindow(); // unbound: a post shows on the clipboard at once
        frmMain& w = *m_window;
        setFinishedRun(QStringLiteral("200.00"), QStringLiteral("6.00"), 0);
        w.wholeText = true;
        QApplication::clipboard()->setText(UserCopy);

        // The window's line changes while the pop-up is up: the line of the run that ended is posted.
        BoxAnswerer box(answer == 1);
        box.whileShown = [&w] { w.resultText = QStringLiteral("改过的成绩"); };
        TitleWatcher title(w.findChild<QLabel*>(QStringLiteral("lab_Title")));
        if (freeRun) {
            w.finishFreeRunPopup();
            w.finishFreeRunRetype();
        } else {
            w.finishRunBranch();
        }
        QCOMPARE(box.seen, answer < 0 ? 0 : 1);
        if (answer >= 0)
            QCOMPARE(box.text, QStringLiteral("短成绩"));
        QCOMPARE(QApplication::clipboard()->text(), posted ? Line : UserCopy);
        QCOMPARE(w.runEndCount == 0, reset);
        if (!message.isEmpty())
            QVERIFY2(title.saw(message), qPrintable(title.seen.join('|')));
    }

    void automaticNextStep_data()
    {
        QTest::addColumn<QString>("rule");     // Zdhd2
        QTest::addColumn<QString>("elseStep"); // Zdhd5
        QTest::addColumn<QString>("keyRate");  // cell 1, against Zdhd3 10.0
        QTest::addColumn<QString>("speed");    // against Zdhd4 200.0
        QTest::addColumn<int>("wrong");
        QTest::addColumn<bool>("newPassage"); // a passage arrives while the result is posted
        QTest::addColumn<QString>("outcome"); // "reset", "shuffled" or "none"
        // clang-format off
        QTest::addRow("key rate at the threshold") << "击键" << "重打" << "10.00" << "100.00" << 0 << false << "reset";
        QTest::addRow("key rate above it") << "击键" << "重打" << "10.01" << "100.00" << 0 << false << "none";
        QTest::addRow("shuffle") << "击键" << "乱序" << "9.00" << "100.00" << 0 << false << "shuffled";
        QTest::addRow("speed below") << "速度" << "重打" << "99.00" << "199.99" << 0 << false << "reset";
        QTest::addRow("wrong characters") << "击键" << "重打" << "9.00" << "100.00" << 1 << false << "none";
        QTest::addRow("new passage meanwhile") << "击键" << "重打" << "9.00" << "100.00" << 0 << true << "none";
        // clang-format on
    }

    void automaticNextStep()
    {
        QFETCH(QString, rule);
        QFETCH(QString, elseStep);
        QFETCH(QString, keyRate);
        QFETCH(QString, speed);
        QFETCH(int, wrong);
        QFETCH(bool, newPassage);
        QFETCH(QString, outcome);
        App::Zdhd = true;
        App::Zdhd2 = rule;
        App::Zdhd3 = 10.0;
        App::Zdhd4 = 200.0;
        App::Zdhd5 = elseStep;
        App::Gdcz = false;
        App::Gdqs = !newPassage; // lurking skips the posting wait the new passage needs
        openWindow();
        frmMain& w = *m_window;
        const QString passage = QStringLiteral("一二三四五六七八九十甲乙丙丁戊己庚辛壬癸子丑寅卯辰巳午未申酉");
        w.loadArticle(passage);
        setFinishedRun(speed, keyRate, wrong);
        const QString laid = newPassage ? QStringLiteral("新来的一段") : passage;
        if (newPassage)
            QTimer::singleShot(0, &w, [&w, &laid] { w.loadArticle(laid); });
        w.finishRunBranch();

        QCOMPARE(w.runEndCount == 0, outcome != QStringLiteral("none"));
        if (outcome == QStringLiteral("shuffled")) {
            QVERIFY(w.passage != passage && w.passage.size() == passage.size()); // all distinct characters
            QCOMPARE(QSet<QChar>(w.passage.begin(), w.passage.end()), QSet<QChar>(passage.begin(), passage.end()));
        } else {
            QCOMPARE(w.passage, laid);
        }
    }

private:
    void addWindow(platform::WindowHandle handle, const QString& title)
    {
        m_desktop->addWindow(
            {handle, title, true, true, false, true, QRect(100, 100, 500, 400), QRect(104, 130, 492, 366)});
    }
    void openWindow()
    {
        m_window = std::make_unique<frmMain>();
        m_window->loadArticle(QStringLiteral("春眠不觉晓处处闻啼鸟"));
        m_desktop->clearCalls();
    }
    void bindChat()
    {
        addWindow(Chat, ChatTitle);
        openWindow();
        App::ChatTitle = ChatTitle;
        m_window->getHwnd();
        QCOMPARE(App::ChatHwnd, Chat);
        m_desktop->clearCalls();
    }
    // The window's last run, as the chain leaves it just before its result branch.
    void setFinishedRun(const QString& speed, const QString& keyRate, int wrong)
    {
        frmMain& w = *m_window;
        w.resultText = Line;
        w.shortResult = QStringLiteral("短成绩");
        w.speedText = speed;
        w.resultCells = QVector<QString>(15, QStringLiteral("1")).toList();
        w.resultCells[1] = keyRate;
        w.resultCells[14] = QString::number(wrong);
        w.wrongCount = wrong;
        w.finished = true;
        w.runEndCount = 1; // any reset puts it back to 0
    }
    // The clipboard text at each Ctrl+V, as the chat window would paste it.
    void notePaste(const Call& call)
    {
        if (call.text() == QStringLiteral("keyEvent 86 down"))
            m_pasted << QApplication::clipboard()->text();
    }
    // The keys sent, as "17 down" and so on.
    QStringList keyTexts() const
    {
        return m_desktop->callTexts().filter(QRegularExpression("^keyEvent ")).replaceInStrings("keyEvent ", "");
    }
    qint64 timeOf(const QString& text, int occurrence = 0) const
    {
        for (const Call& call : m_desktop->calls())
            if (call.text() == text && occurrence-- == 0)
                return call.msecs;
        return -1;
    }

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<FakeWindowSystem> m_desktop;
    std::unique_ptr<frmMain> m_window;
    QStringList m_pasted;
};

QTEST_MAIN(TestChat)
#include "test_chat.moc"
