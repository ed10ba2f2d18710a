// A typing run on a real X display: real key strokes (XTest) into the main window's focused typing
// pane, counted by the key source and the pane's filter, from the first key to the result line; and
// the X selection refused by the middle button.
#include "app/app.h"
#include "platform/display.h"
#include "platform/keysource.h"
#include "testsupport.h"
#include "typing/frmmain.h"
#include "typing/keycount.h"
#include "typing/resultline.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QTimer>

#include <memory>

// Xlib last: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef KeyPress
#undef KeyRelease
#undef FocusIn
#undef FocusOut
#undef None
#undef Bool
#undef Status
#undef Unsorted

namespace {

// Counts the middle-button releases that reach a widget, before anything else filters them.
class MiddleReleaseRecorder : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

void consumeQuitRequest()
{
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

} // namespace

class TestTypingX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void typedRunCountsEachKeyOnce();
    void middleButtonPasteRefused();

private:
    void openWindow(const QString& passage);
    quint8 keycodeFor(QChar c) const;
    void typeChar(QChar c);
    void middleClick(QWidget* target);

    Display* m_display = nullptr;
    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<platform::KeySource> m_keys;
    std::unique_ptr<frmMain> m_window;
    QTextEdit* m_typing = nullptr;
};

void TestTypingX11::initTestCase()
{
    QVERIFY2(platform::x11Available(), "needs an X display (run under test.sh)");
    App::initResources();
    m_display = XOpenDisplay(nullptr);
    QVERIFY(m_display);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    QVERIFY(XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor));

    // Installed as start-up installs it: once, for the whole run, counting into the key counters.
    m_keys = std::make_unique<platform::KeySource>();
    QVERIFY(m_keys->install());
}

void TestTypingX11::init()
{
    m_dir = std::make_unique<TestDir>();
    App::resetConfig();
    App::DbOnline = false;
    App::WebUrl.clear();
    App::Quchu = false;
    App::Tihuan = false;
    App::CountSelectKeys = true;
}

void TestTypingX11::cleanup()
{
    if (m_window) {
        m_window->close();
        consumeQuitRequest();
    }
    m_window.reset();
    m_dir.reset();
}

void TestTypingX11::cleanupTestCase()
{
    m_keys.reset();
    if (m_display)
        XCloseDisplay(m_display);
    m_display = nullptr;
}

void TestTypingX11::openWindow(const QString& passage)
{
    m_window = std::make_unique<frmMain>();
    m_typing = m_window->findChild<QTextEdit*>("textEdit2");
    QVERIFY(m_typing);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_window->loadArticle(passage);
    m_window->Reset();
    m_typing->setFocus();
    QTRY_VERIFY(m_typing->hasFocus());
}

quint8 TestTypingX11::keycodeFor(QChar c) const
{
    KeySym sym = NoSymbol;
    switch (c.unicode()) {
    case ' ':
        sym = XK_space;
        break;
    case ';':
        sym = XK_semicolon;
        break;
    case ',':
        sym = XK_comma;
        break;
    case '.':
        sym = XK_period;
        break;
    default:
        sym = XStringToKeysym(QByteArray(1, char(c.unicode())).constData());
    }
    return quint8(XKeysymToKeycode(m_display, sym));
}

void TestTypingX11::typeChar(QChar c)
{
    const quint8 keycode = keycodeFor(c);
    QVERIFY2(keycode != 0, qPrintable(QString(c)));
    const int before = m_typing->toPlainText().size();
    XTestFakeKeyEvent(m_display, keycode, True, CurrentTime);
    XTestFakeKeyEvent(m_display, keycode, False, CurrentTime);
    XFlush(m_display);
    QTRY_COMPARE_WITH_TIMEOUT(m_typing->toPlainText().size(), before + 1, 5000);
    // Keep the next key's time stamp apart, so it is never taken for half of an auto-repeat.
    QTest::qWait(5);
}

void TestTypingX11::middleClick(QWidget* target)
{
    const QPoint at = target->mapToGlobal(target->rect().center());
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), at.x(), at.y(), CurrentTime);
    XTestFakeButtonEvent(m_display, 2, True, CurrentTime);
    XTestFakeButtonEvent(m_display, 2, False, CurrentTime);
    XFlush(m_display);
}

void TestTypingX11::typedRunCountsEachKeyOnce()
{
    const QString passage = QStringLiteral("hello; world 3.");
    openWindow(passage);
    if (QTest::currentTestFailed())
        return;
    frmMain& w = *m_window;

    // What the keyboard source and the filter together must count: the first key of a run resets
    // the run (its own counts go with it); every later key counts once as the keyboard reports it,
    // and once in the filter, which takes back the selection a typed ";" or "3" did not make.
    HookCounters expected;
    int filterKeys = 0;
    int filterSelections = 0;
    for (int i = 1; i < passage.size(); ++i) {
        const quint8 keycode = keycodeFor(passage.at(i));
        countHookWord(hookWordForKey(keycode, true, false, false), App::KongGe, true, expected);
        countHookWord(hookWordForKey(keycode, false, false, false), App::KongGe, true, expected);
        ++filterKeys;
        if (passage.at(i) == QLatin1Char(';') || passage.at(i) == QLatin1Char('3'))
            ++filterSelections;
    }
    QVERIFY(expected.leftKeys > 0 && expected.rightKeys > 0);
    QCOMPARE(expected.selectCount, 2);

    typeChar(passage.at(0));
    QTRY_VERIFY(w.clockRunning()); // the first character starts the run
    for (int i = 1; i < passage.size() - 1; ++i)
        typeChar(passage.at(i));
    QVERIFY(!w.finished);
    typeChar(passage.at(passage.size() - 1));

    // The next tick of the real clock ends the run.
    QTRY_VERIFY_WITH_TIMEOUT(w.finished, 5000);
    QCOMPARE(m_typing->toPlainText(), passage);
    QVERIFY(m_typing->isReadOnly());
    QVERIFY(!w.clockRunning());
    QVERIFY(w.ticks > 0);

    QCOMPARE(App::KeyCount, filterKeys + expected.keyCount);
    QCOMPARE(App::SelectCount, expected.selectCount - filterSelections);
    QCOMPARE(App::LeftKeys, expected.leftKeys);
    QCOMPARE(App::RightKeys, expected.rightKeys);
    QCOMPARE(App::EnterCount, 0);
    QCOMPARE(App::BackCount, 0);
    QCOMPARE(App::CorrectCount, 0);

    // The result row and the result line of the run.
    const auto cell = [&](int column) {
        const QStandardItem* item = w.resultModel->item(w.resultRow, column);
        return item ? item->text() : QString();
    };
    QCOMPARE(cell(ColCharCount), QString::number(passage.size()));
    QCOMPARE(cell(ColKeys), QString::number(App::KeyCount));
    QCOMPARE(cell(ColWrong), QStringLiteral("0"));
    QCOMPARE(cell(ColSelections), QStringLiteral("0"));
    const QString line = QApplication::clipboard()->text(QClipboard::Clipboard);
    QVERIFY2(line.contains(QStringLiteral(" 字数%1").arg(passage.size())), qPrintable(line));
    QCOMPARE(verifyResultLine(line, App::ShuRuFa2, App::QianMing2).outcome, LineCheck::Genuine);
}

void TestTypingX11::middleButtonPasteRefused()
{
    QClipboard* clipboard = QApplication::clipboard();
    QVERIFY(clipboard->supportsSelection());

    // A plain text pane beside the window shows that the selection is there to be pasted.
    QTextEdit control;
    control.setWindowTitle(QStringLiteral("control pane"));
    control.resize(300, 120);
    control.move(700, 600);
    control.show();
    QVERIFY(QTest::qWaitForWindowExposed(&control));
    clipboard->setText(QStringLiteral("xyz"), QClipboard::Selection);
    QTest::qWait(50);
    middleClick(control.viewport());
    QTRY_COMPARE(control.toPlainText(), QStringLiteral("xyz"));
    control.hide();

    openWindow(QStringLiteral("abcdef"));
    if (QTest::currentTestFailed())
        return;
    typeChar(QLatin1Char('a'));
    clipboard->setText(QStringLiteral("bcdef"), QClipboard::Selection);
    QTest::qWait(50);

    MiddleReleaseRecorder recorder;
    m_typing->viewport()->installEventFilter(&recorder);
    middleClick(m_typing->viewport());
    QTRY_COMPARE(recorder.count, 1); // the click reached the pane ...
    QTest::qWait(50);
    m_typing->viewport()->removeEventFilter(&recorder);
    QCOMPARE(m_typing->toPlainText(), QStringLiteral("a")); // ... and pasted nothing
    QCOMPARE(m_window->typedCount, 1);
}

QTEST_MAIN(TestTypingX11)
#include "test_typing_x11.moc"
