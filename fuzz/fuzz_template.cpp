// The template description reader: bounded whatever the file holds, and a
// snapshot template exactly when a line's key is "#Kestrel_Snapdir".

#include "fuzz.h"

#include "base/textfile.h"
#include "site/template_text.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr qsizetype kLimit = 512;
    const QByteArray bytes = fuzz_bytes(data, size);
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    TemplateDescription d;
    readTemplateDescription(device, kLimit, d);
    FUZZ_CHECK(d.text.size() <= kLimit + SHOWN_CUT_NOTE.size());

    bool snapshot = false;
    for (const QByteArray &line : model_lines(bytes)) {
        const qsizetype colon = line.indexOf(':');
        if (colon >= 0 && colon < kLimit &&
            decodeText(line.left(colon)).compare(QLatin1String("#Kestrel_Snapdir"), Qt::CaseInsensitive) == 0)
            snapshot = true;
    }
    FUZZ_CHECK(d.snapshot == snapshot);
    return 0;
}
