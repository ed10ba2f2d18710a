// The result line and its check: any clipboard text is checked without harm, and a line built
// from any run and settings verifies as genuine whatever switches the verifier uses.
#include "fuzzinput.h"
#include "typing/core/capture.h"
#include "typing/core/resultline.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    verifyResultLine(QString::fromUtf8(reinterpret_cast<const char*>(data), int(size)), true, false);

    FuzzInput in(data, size);
    RunResult run;
    run.segmentHeader = segmentHeaderText(in.number(1000));
    for (int i = 0; i < 15; ++i)
        run.cells << in.text();
    run.wrongCount = in.number(50);
    run.wrongRefChars = in.text();
    run.wrongTypedChars = in.text();
    run.peakSpeed = in.number(100000) / 10.0;
    LineSettings settings;
    for (bool& shown : settings.items.shown)
        shown = in.flag();
    settings.shuRuFa2 = in.flag();
    settings.shuRuFa = in.text();
    settings.qianMing2 = in.flag();
    settings.qianMing = in.text();
    settings.pattern = in.number(3);
    settings.appTitle = QStringLiteral("Tavrel跟打器v1.36 ");
    const ResultLine line = buildResultLine(run, settings, in.flag() ? RunEnd::Free : RunEnd::FollowOrBlind);
    FUZZ_CHECK(line.check == checkField(line.resultTextPlain));
    FUZZ_CHECK(verifyResultLine(line.resultText, in.flag(), in.flag()).outcome == LineCheck::Genuine);
    return 0;
}
