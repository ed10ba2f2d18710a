// A typing run on a real X display: real key strokes into the main window's typing pane, counted by
// the key source and the pane's filter, up to the result line; and the X selection refused by the
// middle button.
#include "app/core/app.h"
#include "platform/keysource.h"
#include "testsupport.h"
#include "typing/coresettings.h"
#include "typing/frmmain.h"
#include "typing/core/resultline.h"
#include "x11support.h"

#include <QApplication>
#include <QClipboard>
#include <QStandardItemModel>

#include <memory>

class TestTypingX11 : public QObject
{
    Q_OBJECT

    xt::XInput m_x;
    std::unique_ptr<TestDir> m_dir;
    platform::KeySource m_keys{&CoreSettings::countKeyWord}; // as start-up installs it: once, counting into the run's counters
    std::unique_ptr<frmMain> m_window;
    QTextEdit* m_typing = nullptr;

    void openWindow(const QString& passage)
    {
        m_window = std::make_unique<frmMain>();
        m_typing = m_window->findChild<QTextEdit*>("textEdit2");
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->loadArticle(passage);
        m_window->Reset();
        m_typing->setFocus();
        QTRY_VERIFY(m_typing->hasFocus());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(platform::x11Available() && m_x.isOpen(), "needs an X display with XTest (run under test.sh)");
        App::initResources();
        QVERIFY(m_keys.install());
    }
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        ts::resetWindowGlobals();
        App::Quchu = false; // an ASCII passage is typed as it stands
        App::Tihuan = false;
    }
    void cleanup()
    {
        if (m_window) {
            m_window->close();
            ts::consumeQuitRequest();
        }
        m_window.reset();
        m_dir.reset();
    }

    void typedRunCountsEachKeyOnce()
    {
        const QString passage = QStringLiteral("hello; world 3.");
        openWindow(passage);
        frmMain& w = *m_window;
        for (int i = 0; i < passage.size(); ++i) {
            QVERIFY2(!w.finished, qPrintable(passage.left(i)));
            QVERIFY2(m_x.typeInto(m_typing, passage.at(i)), qPrintable(passage.left(i + 1)));
            if (i == 0)
                QTRY_VERIFY(w.clockRunning()); // the first character starts the run
        }
        QTRY_VERIFY(w.finished); // on the next tick of the real clock
        QCOMPARE(m_typing->toPlainText(), passage);
        QVERIFY(m_typing->isReadOnly() && !w.clockRunning());
        // The first key resets the run, its counts with it; every later key counts once. The filter
        // takes back the selection the keyboard counted for ";" and "3", which chose nothing here.
        QCOMPARE(App::KeyCount, passage.size() - 1);
        QCOMPARE(App::SelectCount, 0);
        QCOMPARE(App::LeftKeys, 5);  // e w r d 3
        QCOMPARE(App::RightKeys, 9); // l l o ; space o l space .
        QCOMPARE(App::EnterCount + App::BackCount + App::CorrectCount, 0);

        const auto cell = [&](int column) { return w.resultModel->item(w.resultRow, column)->text(); };
        QCOMPARE(cell(ColCharCount), QString::number(passage.size()));
        QCOMPARE(cell(ColKeys), QString::number(App::KeyCount));
        QCOMPARE(cell(ColWrong), QStringLiteral("0"));
        QCOMPARE(cell(ColSelections), QStringLiteral("0"));
        const QString line = QApplication::clipboard()->text(QClipboard::Clipboard);
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
        QVERIFY(m_x.typeInto(m_typing, QLatin1Char('a')));
        QApplication::clipboard()->setText(QStringLiteral("bcdef"), QClipboard::Selection);
        xt::InputRecorder recorder;
        m_typing->viewport()->installEventFilter(&recorder);
        m_x.click(2, m_typing->viewport());
        QTRY_COMPARE(recorder.middleReleases, 1); // the click reached the pane ...
        QTest::qWait(50);
        QCOMPARE(m_typing->toPlainText(), QStringLiteral("a")); // ... and pasted nothing
        QCOMPARE(m_window->typedCount, 1);
    }
};

QTEST_MAIN(TestTypingX11)
#include "test_typing_x11.moc"
