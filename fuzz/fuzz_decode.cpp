// The text reader's decoding: any bytes decode, and a decoded text written back as UTF-8 with a
// byte-order mark decodes to itself.
#include "app/core/app.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = App::decodeText(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    // A text that itself begins with U+FEFF reads back as a byte-order mark: no round trip either.
    if (text.startsWith(QChar(0xFEFF)))
        return 0;
    for (int i = 0; i < text.size(); ++i) {
        // Half a surrogate pair has no UTF-8 form; such a text cannot go round.
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return 0;
    }
    FUZZ_CHECK(App::decodeText(QByteArray("\xEF\xBB\xBF") + text.toUtf8()) == text);
    return 0;
}
