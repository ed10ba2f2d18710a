// The chat-history reader: any history is read without harm, and a post built from a title, a
// passage and a segment is read back as exactly those, also after other chat lines.
#include "fuzzinput.h"
#include "typing/core/capture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString history = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), int(size / 2));
    const CapturedSegment any = parseCapturedHistory(history);
    FUZZ_CHECK(!any.found || !any.passage.isEmpty());

    FuzzInput in(data, size);
    QString title = in.text(), passage = in.text();
    for (QString* line : {&title, &passage}) {
        line->remove(QLatin1Char('\n'));
        line->remove(QLatin1Char('\r'));
    }
    const int number = in.number(100000);
    const int rest = in.number(100000);
    if (passage.isEmpty())
        return 0;
    const QString header = segmentHeaderText(number);
    const QString post = buildFawenPost(title, passage, header, rest);
    const CapturedSegment read =
        parseCapturedHistory(in.text() + QStringLiteral("\n") + post + QStringLiteral("\n李四 12:00\n收到"));
    FUZZ_CHECK(read.found);
    FUZZ_CHECK(read.passage == passage);
    FUZZ_CHECK(read.title == title);
    FUZZ_CHECK(read.segmentHeader == header && read.segmentNumber == number);
    return 0;
}
