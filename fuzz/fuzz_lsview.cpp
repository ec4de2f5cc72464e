// The lsview parsers: what they report stands in the text, tags are single
// words, and -short gives exactly the text's non-blank lines.

#include "fuzz.h"

#include "clearcase/clearcase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzz_bytes(data, size));
    int tag_lines = 0;
    QStringList blank_free;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().startsWith(QLatin1String("Tag:")))
            ++tag_lines;
        if (!line.trimmed().isEmpty())
            blank_free << line.trimmed();
    }
    const QList<ViewInfo> views = ccparse::parseLsviewLong(text);
    FUZZ_CHECK(views.size() == tag_lines);
    for (const ViewInfo &v : views) {
        FUZZ_CHECK(text.contains(v.tag));
        for (const QChar c : v.tag)
            FUZZ_CHECK(!c.isSpace());
    }
    for (const QString &tag : ccparse::parseLsviewActive(text)) {
        FUZZ_CHECK(!tag.isEmpty() && text.contains(tag));
        for (const QChar c : tag)
            FUZZ_CHECK(!c.isSpace());
    }
    FUZZ_CHECK(ccparse::parseLsviewShort(text) == blank_free);
    return 0;
}
