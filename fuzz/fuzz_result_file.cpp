// Kestrel's result file: the last line read from its end is the last line
// read from its start; a line taken for a view tag is one word.

#include "fuzz.h"

#include "base/textfile.h"
#include "kestrel/kestrel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz_bytes(data, size);
    const QList<QByteArray> lines = model_lines(bytes);
    const QByteArray last = lastLineOf(bytes);
    FUZZ_CHECK(last == (lines.isEmpty() ? QByteArray() : lines.last()));
    const QString tag = decodeText(last);
    if (kestrel::isViewTag(tag)) {
        FUZZ_CHECK(!tag.isEmpty());
        for (const QChar c : tag)
            FUZZ_CHECK(!c.isSpace() && c != QLatin1Char('/') && c != QLatin1Char('"') &&
                       c != QLatin1Char('\''));
    }
    return 0;
}
