// The configuration reader: every recognised key holds the value of its last
// line, PROJECT values come in file order, nothing else changes.

#include "fuzz.h"

#include "base/textfile.h"
#include "site/config_reader.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz_bytes(data, size);
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    ConfigRecord rec;
    set_config_keys(rec);
    QStringList projects;
    readConfigLines(device, rec, projects);

    ConfigRecord expected;
    set_config_keys(expected);
    QStringList expected_projects;
    for (const QByteArray &line : model_lines(bytes)) {
        const QString text = decodeText(line);
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        for (const ConfigKey &k : configKeys()) {
            if (text.left(eq) == QLatin1String(k.name) && k.field != &ConfigRecord::CFG_FILE) {
                expected.*k.field = text.mid(eq + 1);
                if (k.field == &ConfigRecord::PROJECT)
                    expected_projects << expected.PROJECT;
            }
        }
    }
    for (const ConfigKey &k : configKeys())
        FUZZ_CHECK(rec.*k.field == expected.*k.field);
    FUZZ_CHECK(rec.SSH_CMD_PATH.isEmpty());
    FUZZ_CHECK(projects == expected_projects);
    return 0;
}
