// Timing of the typing run's hot paths in the real main window, run by hand:
//
//   cd <build folder> && QT_QPA_PLATFORM=offscreen ./typing_bench [path of 86.txt] [--breakdown] [section...]
//
// Sections: page, free, load, code, idle (all of them when none is named), and free100k alone.
// "idle" is meant for an X display: run it there without QT_QPA_PLATFORM to count the painting.
//
// It works in a temporary folder with its own native store, so the user's settings and files are
// never touched; the generated default code file is copied there. Each figure is the median and the
// maximum over many repetitions, printed beside the budget for this class of machine. With --breakdown
// the typed change is also taken apart, to show where its time goes.
#include "app/core/app.h"
#include "app/look.h"
#include "bench/benchfigures.h"
#include "typing/coresettings.h"
#include "typing/frmmain.h"
#include "typing/resulttable.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Sends an input-method commit, as a system input method delivers a committed character.
void commit(QWidget* pane, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(pane, &event);
}

void backspace(QWidget* pane)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    QApplication::sendEvent(pane, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    QApplication::sendEvent(pane, &release);
}

// The single characters of a code file in file order, each once: text made from them reads like
// real Chinese text, with the common characters first.
QString singleCharacters(const QString& codeFilePath)
{
    bool ok = false;
    const QString text = App::readTextFile(codeFilePath, &ok);
    QString chars;
    QSet<QChar> seen;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const int tab = line.indexOf(QLatin1Char('\t'));
        if (tab != 1)
            continue;
        const QChar c = line.at(0);
        if (c.unicode() < 0x4E00 || c.unicode() > 0x9FFF || seen.contains(c))
            continue;
        seen.insert(c);
        chars.append(c);
    }
    return chars;
}

// A passage of `length` characters cycling through the common characters (the first 3000), with
// Chinese punctuation every 12 to 18 characters. With `raw` it is as a file would bring it: ASCII
// and full-width marks, blanks and Windows line breaks that the loading clean-up has to handle.
QString makePassage(const QString& chars, int length, bool raw = false)
{
    static const QString marks = QStringLiteral("，。，、，；，。：？，！");
    static const QString rawMarks = QStringLiteral(",.，(1)\"。、;，：?！");
    const int pool = std::min(3000, int(chars.size()));
    QString text;
    text.reserve(length + 16);
    int next = 0;
    int gap = 0;
    int sentence = 0;
    while (text.size() < length) {
        text.append(chars.at(next % pool));
        ++next;
        if (++gap >= 12 + sentence % 7) {
            gap = 0;
            ++sentence;
            const QString& set = raw ? rawMarks : marks;
            text.append(set.at(sentence % set.size()));
            if (raw && sentence % 9 == 0)
                text.append(QStringLiteral(" \u3000"));
            if (raw && sentence % 20 == 0)
                text.append(QStringLiteral("\r\n"));
        }
    }
    text.truncate(length);
    return text;
}

} // namespace

// Drives a real main window through its public slots, its parts and real input events.
class TypingBench
{
public:
    TypingBench(const QString& chars, bool breakdown, const QStringList& sections)
        : m_chars(chars), m_breakdown(breakdown), m_sections(sections)
    {
    }

    void run()
    {
        if (wanted(QStringLiteral("page")))
            typedChangeAtFullPage();
        if (wanted(QStringLiteral("free"))) {
            typedChangeInFreeMode(1000);
            typedChangeInFreeMode(10000);
            typedChangeInFreeMode(100000);
        }
        if (wanted(QStringLiteral("free100k")))
            typedChangeInFreeMode(100000);
        if (wanted(QStringLiteral("load")))
            loadLongPassage();
        if (wanted(QStringLiteral("code")))
            theoreticalCodeLength();
        if (wanted(QStringLiteral("idle")))
            idleRun();
        printTable(m_figures);
        if (m_idleCpuPercent >= 0)
            std::printf("\nidle run, real clock, 10 s: %.2f %% of one core (target 3 %%)  within target: %s\n",
                        m_idleCpuPercent, m_idleCpuPercent <= 3.0 ? "yes" : "NO");
    }

    // Section names for the command line; none given runs every section but "free100k" (which is
    // the last step of "free" alone, for a profiler run).
    static QStringList sectionNames()
    {
        return {QStringLiteral("page"), QStringLiteral("free"), QStringLiteral("free100k"),
                QStringLiteral("load"), QStringLiteral("code"), QStringLiteral("idle")};
    }

private:
    void openWindow(int mode)
    {
        m_window.reset();
        App::Pattern = mode;
        m_window = std::make_unique<frmMain>();
        frmMain& w = *m_window;
        m_ref = w.findChild<QTextEdit*>(QStringLiteral("textEdit"));
        m_typing = w.findChild<QTextEdit*>(QStringLiteral("textEdit2"));
        // The run clock and the wall clock would slip ticks into the measured event processing; the
        // tick is measured on its own.
        QObject::disconnect(&w, &frmMain::DoStartTimer, nullptr, nullptr);
        stopSecondTimers();
        w.show();
        QApplication::processEvents();
    }

    void open(int mode, const QString& passage)
    {
        openWindow(mode);
        m_window->loadArticle(passage);
        m_window->Reset();
        QApplication::processEvents();
    }

    // What the event loop does after a change: layout and painting of both panes. The record's
    // once-a-second save is held back here and measured on its own.
    void settle()
    {
        stopSecondTimers();
        QApplication::processEvents();
    }

    // The window's timers of a second: the wall clock and the record's gathered save.
    void stopSecondTimers()
    {
        for (QTimer* timer : m_window->findChildren<QTimer*>()) {
            if (timer->interval() == 1000)
                timer->stop();
        }
    }

    // What the window evaluates on a tick, from what it shows.
    RunInputs currentInputs() const
    {
        RunInputs in;
        in.ticks = 3000;
        in.typedCount = m_window->typedCount();
        in.wrongCount = m_window->wrongCount();
        in.keys = CoreSettings::keyCounters();
        return in;
    }

    void check(bool condition, const char* what)
    {
        if (!condition) {
            std::fprintf(stderr, "typing_bench: not measuring what it should: %s\n", what);
            std::exit(2);
        }
    }

    // Follow mode at the largest page: 600 characters and a look-ahead of 10; one character typed
    // into a page holding 598, then taken away again untimed.
    void typedChangeAtFullPage()
    {
        App::Fanye = 600;
        App::Yulanq = 10;
        App::Yulanh = 10;
        App::BianMa2 = true;
        const QString passage = makePassage(m_chars, 3000);
        open(FollowTyping, passage);
        frmMain& w = *m_window;
        check(m_ref->toPlainText().size() == 610, "page of 600 and look-ahead of 10");
        commit(m_typing, passage.left(598));
        settle();
        check(w.typedCount() == 598 && w.pageNumber() == 1, "598 typed on page 1");

        const QString next = passage.mid(598, 1);
        auto type = [&] { commit(m_typing, next); };
        auto undo = [&] {
            backspace(m_typing);
            settle();
        };
        add(measure(QStringLiteral("follow, page 600+10: typed change"), 500, 1.0, type, undo));
        add(measure(
            QStringLiteral("follow, page 600+10: typed change + repaint"), 300, 2.0,
            [&] {
                type();
                settle();
            },
            undo));

        auto* codeHint = w.findChild<QLabel*>(QStringLiteral("labCodeHint"));
        codeHint->setText(QString());
        type();
        check(w.typedCount() == 599 && !codeHint->text().isEmpty(), "hint for the next character");
        add(measure(QStringLiteral("code hint alone (spellFun)"), 3000, -1, [&] { w.spellFun(); }));

        // The clock tick in the middle of this run: figures, result row and buttons.
        add(measure(QStringLiteral("clock tick (TimeSlot) in a run"), 3000, 0.1, [&] { w.TimeSlot(); }));
        check(!w.runFinished() && !w.resultTable()->cellText(ColTime).isEmpty(), "ticks of a running run");
        App::ShiShi = false;
        add(measure(QStringLiteral("clock tick, row not live (ShiShi off)"), 3000, 0.1, [&] { w.TimeSlot(); }));
        App::ShiShi = true;
        add(measure(QStringLiteral("clock tick + repaint"), 1000, 0.3, [&] {
            w.TimeSlot();
            settle();
        }));
        if (m_breakdown) {
            ResultTable& table = *w.resultTable();
            const RunInputs in = currentInputs();
            add(measure(QStringLiteral("  inside: ResultTable::evaluate()"), 3000, -1, [&] { table.evaluate(in); }));
            add(measure(QStringLiteral("  inside: ResultTable::fillRow()"), 3000, -1,
                        [&] { table.fillRow(in); }));
            // The row's 15 cells as the tick writes them, against the bare text writes.
            const QStringList cells = table.cells();
            add(measure(QStringLiteral("  inside: ResultTable::setCell() x15"), 3000, -1, [&] {
                for (int column = 0; column < cells.size(); ++column)
                    table.setCell(column, cells.at(column));
            }));
            auto* model = qobject_cast<QStandardItemModel*>(table.view()->model());
            add(measure(QStringLiteral("  inside: QStandardItem::setText() x15"), 3000, -1, [&] {
                for (int column = 0; column < cells.size(); ++column) {
                    if (QStandardItem* item = model->item(table.row(), column))
                        item->setText(cells.at(column));
                }
            }));
        }

        if (m_breakdown)
            pageChangeBreakdown(passage);
    }

    // The typed change taken apart: the pane's own edit without our handlers, then each handler
    // called alone on the same pane.
    void pageChangeBreakdown(const QString& passage)
    {
        frmMain& w = *m_window;
        const QString next = passage.mid(599, 1);
        const int typedBefore = w.typedCount();
        {
            const QSignalBlocker blocker(m_typing);
            add(measure(
                QStringLiteral("  inside: pane edit only (signals blocked)"), 500, -1, [&] { commit(m_typing, next); },
                [&] {
                    QTextCursor c = m_typing->textCursor();
                    c.movePosition(QTextCursor::End);
                    c.deletePreviousChar();
                }));
        }
        check(w.typedCount() == typedBefore, "pane restored");
        add(measure(QStringLiteral("  inside: Start() alone"), 2000, -1, [&] { w.Start(); }));
        add(measure(QStringLiteral("  inside: App::writeStats() (record save)"), 200, -1, [] { App::writeStats(); }));
    }

    // Free mode: the typing pane already holds `length` characters of one paragraph (Return never
    // reaches the pane) and one more is appended at its end.
    void typedChangeInFreeMode(int length)
    {
        const QString passage = makePassage(m_chars, length + 1000);
        open(FreeTyping, passage);
        frmMain& w = *m_window;
        commit(m_typing, passage.left(length));
        settle();
        check(w.typedCount() == length, "free-mode pane filled");
        if (length == 1000) {
            const QFont font = m_typing->document()->defaultFont();
            std::fprintf(stderr, "typing pane font: %s, %d pt (shown as %s)\n", qPrintable(font.family()),
                         font.pointSize(), qPrintable(QFontInfo(font).family()));
        }

        const int reps = length >= 100000 ? 200 : 500;
        int at = length;
        auto type = [&] {
            commit(m_typing, passage.mid(at, 1));
            ++at;
        };
        const QString size = QString::number(length / 1000) + QStringLiteral("k");
        add(measure(QStringLiteral("free, %1 typed: typed change").arg(size), reps, length >= 100000 ? 5.0 : -1, type,
                    [&] { settle(); }));
        add(measure(QStringLiteral("free, %1 typed: typed change + repaint").arg(size), reps / 2, -1,
                    [&] {
                        type();
                        settle();
                    },
                    {}));
        check(w.typedCount() == at, "free-mode count follows the pane");

        if (m_breakdown && length >= 100000) {
            {
                const QSignalBlocker blocker(m_typing);
                add(measure(QStringLiteral("  inside: 100k pane edit only (signals blocked)"), 100, -1,
                            [&] { commit(m_typing, passage.mid(at, 1)); }));
            }
            add(measure(QStringLiteral("  inside: 100k Start() alone"), 500, -1, [&] { w.Start(); }));
            add(measure(QStringLiteral("  inside: 100k spellFun() alone"), 500, -1, [&] { w.spellFun(); }));
        }
    }

    // Loading a passage of 100,000 characters with blank removal and punctuation conversion on.
    void loadLongPassage()
    {
        App::Quchu = true;
        App::Tihuan = true;
        App::Fanye = 600;
        App::Yulanh = 10;
        const QString raw = makePassage(m_chars, 100000, true);
        openWindow(FollowTyping);
        frmMain& w = *m_window;
        add(measure(QStringLiteral("load 100k passage (loadArticle, clean-up on)"), 30, 100.0,
                    [&] { w.loadArticle(raw); }));
        check(w.passageLength() > 90000 && !w.passage().contains(QLatin1Char(' ')) &&
                  !w.passage().contains(QLatin1Char(',')),
              "passage cleaned");
        if (m_breakdown) {
            add(measure(QStringLiteral("  inside: cleanPassage() alone"), 30, -1,
                        [&] { cleanPassage(raw, true, true); }));
            const QString cleaned = w.passage();
            PassageRun run(w.typingRun().layout());
            add(measure(QStringLiteral("  inside: PassageRun::load() alone"), 30, -1, [&] { run.load(cleaned); }));
        }
    }

    // The theoretical code length of a 10,000-character passage with the generated code file.
    void theoreticalCodeLength()
    {
        openWindow(FollowTyping);
        frmMain& w = *m_window;
        w.loadArticle(makePassage(m_chars, 10000));
        auto* button6 = w.findChild<QPushButton*>(QStringLiteral("button6"));
        add(measure(QStringLiteral("theoretical code length, 10k"), 30, 200.0, [&] { w.on_button6_clicked(); }));
        check(button6->text().startsWith(QStringLiteral("理论码长:")) && button6->text() != QStringLiteral("理论码长:"),
              "code length shown");
    }

    bool wanted(const QString& section) const
    {
        if (m_sections.isEmpty())
            return section != QLatin1String("free100k");
        return m_sections.contains(section);
    }

    // A run started with one character and then left alone for 10 s, with the real run clock and
    // the window's own timers: the share of one core the whole process takes meanwhile. On an X
    // display (Xvfb will do) the painting counts as it does for a user.
    void idleRun()
    {
        m_window.reset();
        App::Pattern = FollowTyping;
        App::ShiShi = true;
        m_window = std::make_unique<frmMain>();
        frmMain& w = *m_window;
        w.show();
        QApplication::processEvents();
        const QString passage = makePassage(m_chars, 300);
        w.loadArticle(passage);
        w.Reset();
        m_typing = w.findChild<QTextEdit*>(QStringLiteral("textEdit2"));
        commit(m_typing, passage.left(1));
        check(w.clockRunning(), "the run clock runs");
        // The window's set-up (code files, fade-in) is over before the measurement starts.
        QEventLoop settleLoop;
        QTimer::singleShot(2000, &settleLoop, &QEventLoop::quit);
        settleLoop.exec();

        const auto cpuSeconds = [] {
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        };
        const double cpuBefore = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        m_idleCpuPercent = (cpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9) * 100.0;
        check(w.clockRunning() && w.typedCount() == 1, "the run still open, nothing more typed");
        m_window.reset();
    }

    void add(const Figure& f)
    {
        m_figures.push_back(f);
        std::fprintf(stderr, "  %s: median %.4f ms, max %.4f ms\n", qPrintable(f.name), f.medianMs, f.maxMs);
    }

    QString m_chars;
    bool m_breakdown = false;
    QStringList m_sections;
    std::unique_ptr<frmMain> m_window;
    QTextEdit* m_ref = nullptr;
    QTextEdit* m_typing = nullptr;
    std::vector<Figure> m_figures;
    double m_idleCpuPercent = -1.0;
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    App::initResources();

    // The offscreen platform cannot fade a window in; saying so on every window opened would bury
    // the figures.
    static const QtMessageHandler defaultHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.contains(QLatin1String("does not support setting window opacity")))
            defaultHandler(type, context, message);
    });

    bool breakdown = false;
    QString codeFile;
    QStringList sections;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--breakdown"))
            breakdown = true;
        else if (TypingBench::sectionNames().contains(arg))
            sections << arg;
        else
            codeFile = QFileInfo(arg).absoluteFilePath();
    }
    if (codeFile.isEmpty()) {
        for (const QString& dir : {QDir::currentPath(), QCoreApplication::applicationDirPath()}) {
            const QString candidate = dir + QStringLiteral("/编码文件/86.txt");
            if (QFile::exists(candidate)) {
                codeFile = candidate;
                break;
            }
        }
    }
    if (codeFile.isEmpty() || !QFile::exists(codeFile)) {
        std::fprintf(stderr, "typing_bench: the generated code file 编码文件/86.txt was not found; run it from the "
                             "build folder or give its path\n");
        return 1;
    }

    // A working folder and a native store of our own: nothing the window saves reaches the user.
    QTemporaryDir work;
    if (!work.isValid() || !QDir(work.path()).mkpath(QStringLiteral("编码文件")) ||
        !QDir(work.path()).mkpath(QStringLiteral("native")) ||
        !QFile::copy(codeFile, work.path() + QStringLiteral("/编码文件/86.txt"))) {
        std::fprintf(stderr, "typing_bench: cannot prepare a temporary working folder\n");
        return 1;
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path() + QStringLiteral("/native"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, work.path() + QStringLiteral("/native"));

    App::resetConfig();
    App::DbOnline = false;
    App::WebUrl.clear();
    App::BianMa = QStringLiteral("86.txt");
    App::BianMa2 = true;
    // The panes' font and the theme as start-up sets them: the forms' Windows font name mapped to
    // an installed Chinese font, then the configured style sheet.
    const QStringList chinese = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                 QStringLiteral("Source Han Sans SC"),  QStringLiteral("WenQuanYi Zen Hei"),
                                 QStringLiteral("Droid Sans Fallback"), QStringLiteral("AR PL UMing CN")};
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"), chinese);
    applyStyleSheet(App::Style);

    const QString chars = singleCharacters(QStringLiteral("编码文件/86.txt"));
    if (chars.size() < 1000) {
        std::fprintf(stderr, "typing_bench: too few single characters in %s\n", qPrintable(codeFile));
        return 1;
    }
    std::fprintf(stderr, "code file %s, %d single characters; working in %s\n", qPrintable(codeFile), int(chars.size()),
                 qPrintable(work.path()));

    {
        TypingBench bench(chars, breakdown, sections);
        bench.run();
    }
    QDir::setCurrent(previous);
    return 0;
}
