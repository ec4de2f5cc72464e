#include "base/strings.h"

QString replace_char(const QString &find, const QString &repl, const QString &s)
{
    if (find.size() != 1)
        return s;
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (c == find.at(0))
            out += repl;
        else
            out += c;
    }
    return out;
}

QString strip_non_ansi(const QString &s)
{
    // A character counts when the 8-bit code page has a single byte for it
    // in 1..255; Latin-1 is that code page here.
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (c.unicode() >= 1 && c.unicode() <= 255)
            out += c;
    }
    return out;
}

QString upto_char(const QString &delim, const QString &s)
{
    if (delim.size() != 1)
        return s;
    const qsizetype at = s.indexOf(delim.at(0));
    return at < 0 ? s : s.left(at + 1);
}

QString lf_to_crlf(const QString &s)
{
    QString out;
    out.reserve(s.size() + s.size() / 16);
    for (const QChar c : s) {
        if (c == QLatin1Char('\n'))
            out += QLatin1String("\r\n");
        else
            out += c;
    }
    return out;
}
