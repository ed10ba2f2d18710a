// The code table and the candidate engine: any table and any key sequence under any settings. A
// lookup gives exactly the lines whose code starts with the prefix, in file order; the engine never
// hangs on its carry rule and never shows more labels than a page holds.
#include "fuzzinput.h"
#include "input/core/candidates.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const QString text = in.text();
    CodeTable table;
    table.load(text, QStringLiteral("fuzz"));

    const QString prefix = in.text();
    const std::vector<int> found = table.lookup(prefix);
    int previous = -1;
    for (int entry : found) {
        FUZZ_CHECK(entry > previous && entry < table.size());
        FUZZ_CHECK(table.code(entry).startsWith(prefix));
        previous = entry;
    }
    if (prefix.isEmpty())
        FUZZ_CHECK(found.empty());
    int expected = 0;
    for (int entry = 0; entry < table.size() && !prefix.isEmpty(); ++entry)
        expected += table.code(entry).startsWith(prefix) ? 1 : 0;
    FUZZ_CHECK(int(found.size()) == expected);

    InputSettings settings;
    settings.pageSize = in.number(14) - 2;
    settings.hints = in.flag();
    settings.hintsOnlyOpen = in.flag();
    settings.commitLength = in.number(8) - 2;
    settings.carryLength = in.number(8) - 2;
    settings.clearLength = in.number(8) - 2;
    settings.zRepeat = in.flag();
    settings.markSelects = in.flag();
    settings.markCommits = in.flag();
    settings.spaceAction = in.flag() ? QStringLiteral("上屏英文") : QStringLiteral("清屏");
    settings.returnAction = in.flag() ? QStringLiteral("上屏英文") : QStringLiteral("清屏");

    CandidateEngine engine;
    engine.setTable(&table);
    engine.setSettings(settings);
    QString typed;
    engine.setInserter([&typed](const QString& t) { typed += t; });
    engine.setSelectionCounter([] {});
    while (!in.atEnd()) {
        const uint8_t op = in.byte();
        const QString key = QString(QChar(u'a' + op % 26));
        switch (op % 12) {
        case 0: engine.spaceOnCode(); break;
        case 1: engine.softSpace(); break;
        case 2: engine.returnKey(); break;
        case 3: engine.escape(); break;
        case 4: engine.backspaceCode(); break;
        case 5: engine.nextPage(); break;
        case 6: engine.previousPage(); break;
        case 7: engine.setChinese(op % 12 - 1); break;
        case 8: engine.typeCodeKey(QStringLiteral(";")); break;
        case 9: engine.typeCodeKey(QStringLiteral(",")); break;
        default: engine.typeCodeKey(key); break;
        }
        FUZZ_CHECK(engine.labels().size() == CandidateEngine::MaxPage);
        FUZZ_CHECK(typed.size() < 10000000);
    }
    return 0;
}
