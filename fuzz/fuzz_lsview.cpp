// The lsview and lsco parsers: what they report stands in the text, tags
// are single words, -short gives exactly the text's non-blank lines, and a
// view's checkouts come only from lines that start with its uuid.

#include "fuzz.h"

#include "clearcase/clearcase.h"
#include "clearcase/view_ops.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(fuzz_bytes(data, size));
    // Lines end with CR LF, a lone CR or LF, as in the line reader.
    const QStringList lines = QString(text)
                                  .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                  .replace(QLatin1Char('\r'), QLatin1Char('\n'))
                                  .split(QLatin1Char('\n'));
    int tag_lines = 0;
    QStringList blank_free;
    for (const QString &line : lines) {
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

    // The checkouts of the view named by the text's first word.
    const QString uuid = text.section(QLatin1Char(' '), 0, 0).section(QLatin1Char('\n'), 0, 0);
    int owned_lines = 0;
    for (const QString &line : lines)
        owned_lines += !uuid.isEmpty() && line.startsWith(uuid + QLatin1Char(' ')) ? 1 : 0;
    const QList<Checkout> checkouts = ccparse::parseCheckouts(text, uuid);
    FUZZ_CHECK(checkouts.size() <= owned_lines);
    for (const Checkout &c : checkouts)
        FUZZ_CHECK(!c.path.isEmpty() && text.contains(c.path) && text.contains(c.dateText));

    // A listing in the format asked for, with the text's lines as paths: every
    // line of it is a checkout of the view, none is lost.
    const QString view = QStringLiteral("6c3a9f2e.1b7d4e80.a1c2.00:01:84:3b:5e:9f");
    QString listing;
    QStringList paths;
    for (const QString &line : lines) {
        if (line.isEmpty() || line.contains(QChar(0)))
            continue;
        listing += view + (paths.size() % 2 ? QStringLiteral(" unreserved ") : QStringLiteral(" reserved ")) +
                   QStringLiteral("2024-05-02T08:58:08Z ") + line + QStringLiteral("\r\n");
        paths << line;
    }
    const QList<Checkout> listed = ccparse::parseCheckouts(listing, view);
    FUZZ_CHECK(listed.size() == paths.size());
    for (qsizetype i = 0; i < listed.size(); ++i) {
        FUZZ_CHECK(listed[i].path == paths[i]);
        FUZZ_CHECK(listed[i].reserved == (i % 2 == 0));
        FUZZ_CHECK(listed[i].date.isValid());
    }
    return 0;
}
