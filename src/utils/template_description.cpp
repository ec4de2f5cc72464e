#include "utils/template_description.h"

#include "utils/errors.h"
#include "utils/helpers.h"
#include "utils/messages.h"
#include "utils/textfile.h"

const QString SHOWN_CUT_NOTE = QStringLiteral(
    " [...] [The rest is not shown here: it is in the template file, which \"View\" opens whole.]");

namespace {
bool key_is(const QString &key, const char *name)
{
    return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}
} // namespace

void read_template_description(QIODevice &device, qsizetype limit, TemplateDescription &d)
{
    // Only a line that starts with "#" can hold a key; the others are
    // passed over unread, and a long value is cut at what is shown.
    LineReader reader(device, limit);
    QByteArray line;
    while (reader.next(line, '#')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QString key = decode_text(line.left(colon));
        QString value = upto_char(QStringLiteral("\n"), decode_text(line.mid(colon + 1)));
        if (reader.truncated())
            value += SHOWN_CUT_NOTE;
        if (key_is(key, "#Kestrel_Snapdir"))
            d.snapshot = true;
        else if (key_is(key, "#Kestrel_Description"))
            d.text = value;
        else if (key_is(key, "#Kestrel_UCMVob"))
            d.text = QStringLiteral("[Description]: ") + d.text + QStringLiteral(" ") +
                     QStringLiteral(" This View is a UCM View.") + CRLF +
                     QStringLiteral("[UCM Project VOB]: ") + value;
        else if (key_is(key, "#Kestrel_UCMNewStream") || key_is(key, "#Kestrel_UCMStream"))
            d.text = d.text + CRLF + QStringLiteral("[Tied to UCM Stream]: ") + value;
        if (d.text.size() > limit) {
            d.text.truncate(limit);
            d.text += SHOWN_CUT_NOTE;
        }
    }
    if (!reader.error().isEmpty())
        throw QuillonError(reader.error());
}
