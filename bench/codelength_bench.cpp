// Timing of the theoretical code length on hostile code files, run by hand:
//
//   cd <build folder> && ./codelength_bench
//
// Cases: codes that hold their own entry text (each line would double the text), and one very long
// entry against a passage of the same character (every position starts a long prefix match). Each
// figure is the median and the maximum over repetitions, printed beside the 50 ms target.
#include "bench/benchfigures.h"
#include "typing/core/codefile.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetMs = 50.0;

struct Case
{
    const char* name;
    QString file;
    QString passage;
    int expected; // the coded length the case must give, so a fast wrong answer cannot pass
};

// Times one case; false when it gives another coded length than the case expects.
bool run(const Case& c, int repetitions, std::vector<Figure>* figures)
{
    CodeFile codes;
    codes.load(c.file, QStringLiteral("bench"));
    int result = 0;
    figures->push_back(measure(QString::fromUtf8(c.name), repetitions, kTargetMs,
                               [&](int) { result = codes.codedLength(c.passage); }, {}, 0));
    if (result != c.expected) {
        std::fprintf(stderr, "codelength_bench: %s gave %d, expected %d\n", c.name, result, c.expected);
        return false;
    }
    return true;
}

QString repeated(int count, char c)
{
    return QString(count, QLatin1Char(c));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The literal case says why it gives up on the debug log; the table is what matters here.
    qSetMessagePattern(QStringLiteral("%{if-debug}%{endif}"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    QString doubling;
    for (int i = 0; i < 24; ++i)
        doubling += QStringLiteral("a\taa\n");
    const std::vector<Case> cases = {
        {"literal: 24 lines a->aa, passage of 10 a", doubling, repeated(10, 'a'), -1},
        {"prefix: entry of 5,000 a, passage of 5,000", repeated(5000, 'a') + QStringLiteral("\tb\n"),
         repeated(5000, 'a'), 1},
        {"prefix: entry of 20,000 a, passage of 20,000", repeated(20000, 'a') + QStringLiteral("\tb\n"),
         repeated(20000, 'a'), 1},
        {"prefix: entries a..a^200, passage of 5,000", QString(), repeated(5000, 'a'), 25},
    };
    std::vector<Case> all = cases;
    for (int len = 200; len >= 1; --len)
        all.back().file += repeated(len, 'a') + QStringLiteral("\tb\n");

    bool ok = true;
    std::vector<Figure> figures;
    for (const Case& c : all)
        ok = run(c, 21, &figures) && ok;
    printTable(figures);
    return ok ? 0 : 1;
}
