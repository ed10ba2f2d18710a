// A typing run on a real X display: real key strokes into the main window's typing pane, counted by
// the key source and the pane's filter, up to the result line; and the X selection refused by the
// middle button.
#include "app/core/app.h"
#include "platform/keysource.h"
#include "testsupport.h"
#include "typing/core/resultline.h"
#include "x11support.h"

class TestTypingX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    platform::KeySource m_keys; // as start-up installs it: once, counting into the run's counters
    std::unique_ptr<ts::MainWindowFixture> m_f;

    void openWindow(const QString& passage)
    {
        frmMain& w = m_f->open(true);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        m_f->lay(passage);
        m_f->typing()->setFocus();
        QTRY_VERIFY(m_f->typing()->hasFocus());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_x.isOpen(), "needs an X display with XTest (run under test.sh)");
        App::initResources();
        QVERIFY(m_keys.install());
    }
    void init() { m_f = std::make_unique<ts::MainWindowFixture>(); }
    void cleanup() { m_f.reset(); }

    void typedRunCountsEachKeyOnce()
    {
        const QString passage = QStringLiteral("hello; world 3.");
        openWindow(passage);
        QTextEdit* typing = m_f->typing();
        for (int i = 0; i < passage.size(); ++i) {
            QVERIFY2(!typing->isReadOnly(), qPrintable(passage.left(i)));
            QVERIFY2(m_x.typeInto(typing, passage.at(i)), qPrintable(passage.left(i + 1)));
            if (i == 0)
                QTRY_VERIFY(m_f->w().clockRunning()); // the first character starts the run
        }
        const QString line = m_f->waitLine(); // on the next tick of the real clock
        QCOMPARE(typing->toPlainText(), passage);
        QVERIFY(typing->isReadOnly() && !m_f->w().clockRunning());
        // The first key resets the run, its counts with it; every later key counts once. The filter
        // takes back the selection the keyboard counted for ";" and "3", which chose nothing here.
        QCOMPARE(App::KeyCount, passage.size() - 1);
        QCOMPARE(App::SelectCount, 0);
        QCOMPARE(App::LeftKeys, 5);  // e w r d 3
        QCOMPARE(App::RightKeys, 9); // l l o ; space o l space .
        QCOMPARE(App::EnterCount + App::BackCount + App::CorrectCount, 0);

        QCOMPARE(m_f->cell(0, "字数"), QString::number(passage.size()));
        QCOMPARE(m_f->cell(0, "键数"), QString::number(App::KeyCount));
        QCOMPARE(m_f->cell(0, "错字"), QStringLiteral("0"));
        QCOMPARE(m_f->cell(0, "选重"), QStringLiteral("0"));
        QVERIFY2(line.contains(QStringLiteral(" 字数%1").arg(passage.size())), qPrintable(line));
        QCOMPARE(verifyResultLine(line, App::ShuRuFa2, App::QianMing2).outcome, LineCheck::Genuine);
    }

    void middleButtonPasteRefused()
    {
        // A plain pane pastes the selection, so the refusal below means something.
        QTextEdit control;
        control.setGeometry(700, 600, 300, 120);
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        QApplication::clipboard()->setText(QStringLiteral("xyz"), QClipboard::Selection);
        m_x.click(2, control.viewport());
        QTRY_COMPARE(control.toPlainText(), QStringLiteral("xyz"));
        control.hide();

        openWindow(QStringLiteral("abcdef"));
        QTextEdit* typing = m_f->typing();
        QVERIFY(m_x.typeInto(typing, QLatin1Char('a')));
        QApplication::clipboard()->setText(QStringLiteral("bcdef"), QClipboard::Selection);
        xt::InputRecorder recorder;
        typing->viewport()->installEventFilter(&recorder);
        m_x.click(2, typing->viewport());
        QTRY_COMPARE(recorder.middleReleases, 1); // the click reached the pane ...
        QTest::qWait(50);
        QCOMPARE(typing->toPlainText(), QStringLiteral("a")); // ... and pasted nothing
        QCOMPARE(App::Jilu, 1);
    }
};

QTEST_MAIN(TestTypingX11)
#include "test_typing_x11.moc"
