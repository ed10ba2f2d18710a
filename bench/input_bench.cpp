// Timing of the input-method panel's code table on the real generated table, run by hand:
//
//   cd <build folder> && ./input_bench [path of mb/五笔.txt]
//
// Loading the table, and one lookup with its first page and the automatic rules for codes of 1,
// 2, 3 and 4 letters taken from the table itself. Each figure is the median and the maximum over
// many repetitions, printed beside its target.
#include "bench/benchfigures.h"
#include "input/core/candidates.h"
#include "input/core/codetable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : CodeTable::pathFor(QStringLiteral("五笔"));
    if (!QFile::exists(path)) {
        std::fprintf(stderr, "input_bench: the generated code table %s was not found; run it from the build "
                             "folder or name the file\n", qPrintable(path));
        return 1;
    }

    std::vector<Figure> figures;
    CodeTable table;
    figures.push_back(measure(QStringLiteral("table load"), 20, 300.0, [&](int) { table.open(path); }));
    std::fprintf(stderr, "code table %s: %d entries\n", qPrintable(path), table.size());

    // Distinct codes of each length, in table order, so each repetition looks up another one.
    std::vector<QStringList> codes(5);
    QSet<QString> seen;
    for (int e = 0; e < table.size(); ++e) {
        const QString code = table.code(e).toString();
        if (code.size() >= 1 && code.size() <= 4 && !seen.contains(code)) {
            seen.insert(code);
            codes[size_t(code.size())] << code;
        }
    }

    CandidateEngine engine;
    engine.setTable(&table);
    engine.setSettings(InputSettings());
    engine.setInserter([](const QString&) {});
    const double budgets[] = {0.0, 2.0, 0.05, 0.05, 0.05};
    for (int length = 1; length <= 4; ++length) {
        const QStringList& list = codes[size_t(length)];
        if (list.isEmpty())
            continue;
        int matches = 0;
        figures.push_back(measure(QStringLiteral("lookup, %1 letter(s)").arg(length), std::max(200, int(list.size())),
                                  budgets[length], [&](int i) {
                                      engine.setCode(list.at(i % list.size()));
                                      engine.select();
                                      matches = std::max(matches, engine.matchCount());
                                  }));
        std::fprintf(stderr, "%d-letter codes: %d, at most %d matches\n", length, int(list.size()), matches);
    }
    printTable(figures);
    return 0;
}
