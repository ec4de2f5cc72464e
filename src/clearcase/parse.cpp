// Parsing of cleartool's "lsview" output formats. Every parser works in one
// pass over the text and accepts LF or CR LF line ends.

#include "base/textfile.h"
#include "clearcase/clearcase.h"

#include <QRegularExpression>
#include <QStringView>

#include <limits>

namespace ccparse {

namespace {

// The value after "label" when the line, with leading blanks removed, starts
// with it; nullopt otherwise.
std::optional<QStringView> field(QStringView trimmedLine, QLatin1StringView label)
{
    if (!trimmedLine.startsWith(label))
        return std::nullopt;
    return trimmedLine.mid(label.size()).trimmed();
}

// "Tag: name" or "Tag: name "comment"".
void readTagLine(QStringView rest, ViewInfo &info)
{
    rest = rest.trimmed();
    qsizetype blank = 0;
    while (blank < rest.size() && !rest[blank].isSpace())
        ++blank;
    info.tag = rest.left(blank).toString();
    QStringView comment = rest.mid(blank).trimmed();
    if (comment.size() >= 2 && comment.startsWith(QLatin1Char('"')) && comment.endsWith(QLatin1Char('"')))
        comment = comment.mid(1, comment.size() - 2);
    info.comment = comment.toString();
}

// The words of a "View attributes:" or "Properties:" value.
void readFlags(QStringView value, ViewInfo &info)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    const auto words = value.split(separators, Qt::SkipEmptyParts);
    for (const QStringView word : words) {
        if (word == QLatin1String("snapshot"))
            info.snapshot = true;
        else if (word == QLatin1String("ucmview"))
            info.ucm = true;
    }
}

// "<date> by <user>@<host>": the date.
QDateTime eventDate(QStringView value)
{
    const qsizetype blank = value.indexOf(QLatin1Char(' '));
    return parseDate(blank < 0 ? value : value.left(blank));
}

} // namespace

QDateTime parseDate(QStringView text)
{
    text = text.trimmed();
    if (text.size() >= 19 && text[4] == QLatin1Char('-') && text[10] == QLatin1Char('T'))
        return QDateTime::fromString(text.toString(), Qt::ISODate);
    // "17-Jun-10.08:13:40": English month names whatever the locale.
    static const QRegularExpression old(
        QStringLiteral("^(\\d{1,2})-([A-Za-z]{3})-(\\d{2})\\.(\\d{2}):(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch m = old.match(text);
    if (!m.hasMatch())
        return {};
    static const QStringList months = {QStringLiteral("jan"), QStringLiteral("feb"), QStringLiteral("mar"),
                                       QStringLiteral("apr"), QStringLiteral("may"), QStringLiteral("jun"),
                                       QStringLiteral("jul"), QStringLiteral("aug"), QStringLiteral("sep"),
                                       QStringLiteral("oct"), QStringLiteral("nov"), QStringLiteral("dec")};
    const int month = int(months.indexOf(m.captured(2).toLower())) + 1;
    // Two-digit years: 70 to 99 are the 1900s, as cleartool's own epoch.
    const int yy = m.captured(3).toInt();
    const QDate date(yy >= 70 ? 1900 + yy : 2000 + yy, month, m.captured(1).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    if (month == 0 || !date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

QList<ViewInfo> parseLsviewLong(const QString &text)
{
    QList<ViewInfo> views;
    ViewInfo *current = nullptr;
    forEachLine(text, [&](QStringView line) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty())
            return;
        if (auto rest = field(trimmed, QLatin1StringView("Tag:")); rest) {
            views.append(ViewInfo{});
            current = &views.last();
            readTagLine(*rest, *current);
            return;
        }
        if (!current)
            return;
        if (auto v = field(trimmed, QLatin1StringView("Global path:")))
            current->globalPath = v->toString();
        else if (auto v = field(trimmed, QLatin1StringView("Server host:")))
            current->serverHost = v->toString();
        else if (auto v = field(trimmed, QLatin1StringView("Region:")))
            current->region = v->toString();
        else if (auto v = field(trimmed, QLatin1StringView("Active:")))
            current->active = v->compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0;
        else if (auto v = field(trimmed, QLatin1StringView("View owner:")))
            current->owner = v->toString();
        else if (auto v = field(trimmed, QLatin1StringView("View uuid:")))
            current->uuid = v->toString();
        else if (auto v = field(trimmed, QLatin1StringView("Created ")))
            current->created = eventDate(*v);
        else if (auto v = field(trimmed, QLatin1StringView("Last modified ")))
            current->modified = eventDate(*v);
        else if (auto v = field(trimmed, QLatin1StringView("Last accessed ")))
            current->accessed = eventDate(*v);
        else if (auto v = field(trimmed, QLatin1StringView("View attributes:")))
            readFlags(*v, *current);
        else if (auto v = field(trimmed, QLatin1StringView("Properties:")))
            readFlags(*v, *current);
    });
    return views;
}

QSet<QString> parseLsviewActive(const QString &text)
{
    QSet<QString> active;
    forEachLine(text, [&](QStringView line) {
        // "* tag   path" or "  tag   path": the marker column, a blank, the
        // tag up to the next blank.
        if (line.size() < 3 || !line.contains(QLatin1Char('*')))
            return;
        if (line[0] != QLatin1Char('*') && line[0] != QLatin1Char(' '))
            return;
        if (line[1] != QLatin1Char(' ') || line[2].isSpace())
            return;
        qsizetype end = 2;
        while (end < line.size() && !line[end].isSpace())
            ++end;
        active.insert(line.mid(2, end - 2).toString());
    });
    return active;
}

QStringList parseLsviewShort(const QString &text)
{
    QStringList tags;
    tags.reserve(text.count(QLatin1Char('\n')) + 1);
    forEachLine(text, [&](QStringView line) {
        const QStringView tag = line.trimmed();
        if (!tag.isEmpty())
            tags.append(tag.toString());
    });
    return tags;
}

std::optional<CoprocessAnswer> findAnswer(QByteArrayView written, int n)
{
    if (!written.endsWith('\n'))
        return std::nullopt;
    // The last line, without its line end (and a CR before it).
    qsizetype start = written.size() - 1;
    while (start > 0 && written[start - 1] != '\n')
        --start;
    QByteArrayView line = written.sliced(start, written.size() - 1 - start);
    if (line.endsWith('\r'))
        line.chop(1);
    const qsizetype at = line.lastIndexOf(QByteArrayView("Command "));
    if (at < 0)
        return std::nullopt;
    static const QRegularExpression marker(QStringLiteral("^Command (\\d+) returned status (-?\\d+)$"));
    const auto m = marker.match(QString::fromLatin1(line.sliced(at)));
    if (!m.hasMatch())
        return std::nullopt;
    bool nOk = false;
    if (m.captured(1).toInt(&nOk) != n || !nOk)
        return std::nullopt;
    bool ok = false;
    const long long status = m.captured(2).toLongLong(&ok);
    const bool inRange =
        ok && status >= std::numeric_limits<int>::min() && status <= std::numeric_limits<int>::max();
    return CoprocessAnswer{start + at, inRange, status};
}

} // namespace ccparse
