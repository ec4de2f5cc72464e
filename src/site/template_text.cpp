#include "site/template_text.h"

#include "base/errors.h"
#include "base/strings.h"
#include "base/textfile.h"

const QString SHOWN_CUT_NOTE = QStringLiteral(
    " [...] [The rest is not shown here: it is in the template file, which \"View\" opens whole.]");

namespace {
bool keyIs(const QString &key, const char *name)
{
    return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}
} // namespace

void readTemplateDescription(QIODevice &device, qsizetype limit, TemplateDescription &d)
{
    // Only a line that starts with "#" can hold a key; the others are
    // passed over unread, and a long value is cut at what is shown.
    LineReader reader(device, limit);
    QByteArray line;
    while (reader.next(line, '#')) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QString key = decodeText(line.left(colon));
        QString value = upto_char(QStringLiteral("\n"), decodeText(line.mid(colon + 1)));
        if (reader.truncated())
            value += SHOWN_CUT_NOTE;
        if (keyIs(key, "#Kestrel_Snapdir"))
            d.snapshot = true;
        else if (keyIs(key, "#Kestrel_Description"))
            d.text = value;
        else if (keyIs(key, "#Kestrel_UCMVob"))
            d.text = QStringLiteral("[Description]: ") + d.text + QStringLiteral(" ") +
                     QStringLiteral(" This View is a UCM View.") + QStringLiteral("\r\n") +
                     QStringLiteral("[UCM Project VOB]: ") + value;
        else if (keyIs(key, "#Kestrel_UCMNewStream") || keyIs(key, "#Kestrel_UCMStream"))
            d.text = d.text + QStringLiteral("\r\n") + QStringLiteral("[Tied to UCM Stream]: ") + value;
        if (d.text.size() > limit) {
            d.text.truncate(limit);
            d.text += SHOWN_CUT_NOTE;
        }
    }
    if (!reader.error().isEmpty())
        throw QuillonError(reader.error());
}

QString shownTemplateText(const QString &path, bool lfToCrlfEachLine)
{
    const QString crlf = QStringLiteral("\r\n");
    const TextStart start = readTextStart(path, kShownTextLimit);
    QString text;
    for (const QString &line : start.lines)
        text += (lfToCrlfEachLine ? lf_to_crlf(line) : line) + crlf;
    if (start.cut)
        text += QStringLiteral(
                    "[Only the first %1 KB of this %2 MB file are shown here; \"View\" opens it whole.]")
                    .arg(kShownTextLimit / 1024)
                    .arg(double(start.fileSize) / (1024 * 1024), 0, 'f', 1) +
                crlf;
    return text;
}
