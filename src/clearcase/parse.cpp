// Parsing of cleartool's "lsview" output formats. Every parser works in one
// pass over the text and accepts LF or CR LF line ends.

#include "base/textfile.h"
#include "clearcase/clearcase.h"

#include <QRegularExpression>
#include <QStringView>

#include <limits>
#include <utility>

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

namespace {
const QLatin1StringView kErrorPrefix("cleartool: Error:");
const QLatin1StringView kWarningPrefix("cleartool: Warning:");

// "Command <n> returned status <s>" at the end of line: where it starts and
// the status text.
std::optional<std::pair<qsizetype, QByteArrayView>> markerAtEnd(QByteArrayView line, int n)
{
    const QByteArray head = "Command " + QByteArray::number(n) + " returned status ";
    const qsizetype at = line.lastIndexOf(QByteArrayView(head));
    if (at < 0)
        return std::nullopt;
    const QByteArrayView number = line.sliced(at + head.size());
    qsizetype digits = number.startsWith('-') ? 1 : 0;
    if (digits == number.size())
        return std::nullopt;
    for (qsizetype i = digits; i < number.size(); ++i) {
        if (number[i] < '0' || number[i] > '9')
            return std::nullopt;
    }
    return std::pair{at, number};
}

QByteArrayView withoutCR(QByteArrayView line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}
} // namespace

std::optional<QString> errorOf(QStringView line)
{
    if (line.startsWith(kWarningPrefix))
        return std::nullopt;
    if (line.startsWith(kErrorPrefix)) {
        const QStringView rest = line.mid(kErrorPrefix.size()).trimmed();
        return (rest.isEmpty() ? line : rest).toString();
    }
    return line.toString();
}

CoprocessReader::CoprocessReader(QByteArray token, qsizetype cap) : m_token(std::move(token)), m_cap(cap) {}

void CoprocessReader::expect(int n)
{
    m_n = n;
    m_state = State::Reading;
    m_tokenSeen = false;
    m_pending.clear();
    m_held.clear();
    m_batch.clear();
    m_received = 0;
    m_output.clear();
    m_errors.clear();
    m_hasStatus = false;
    m_inRange = false;
    m_status = 0;
}

CoprocessReader::State CoprocessReader::feed(QByteArrayView data)
{
    if (m_state != State::Reading)
        return m_state;
    m_received += data.size();
    if (m_received > m_cap) {
        // Nothing of it is kept.
        expect(m_n);
        m_state = State::TooLarge;
        return m_state;
    }
    // Only the new bytes are searched for line ends.
    qsizetype from = m_pending.size();
    m_pending.append(data);
    qsizetype lineStart = 0;
    for (;;) {
        const qsizetype nl = m_pending.indexOf('\n', from);
        if (nl < 0)
            break;
        takeLine(QByteArrayView(m_pending).sliced(lineStart, nl + 1 - lineStart));
        lineStart = nl + 1;
        from = lineStart;
        if (m_state != State::Reading)
            break;
    }
    m_pending.remove(0, lineStart);
    if (!m_batch.isEmpty()) {
        m_output += QString::fromLocal8Bit(m_batch);
        m_batch.clear();
    }
    return m_state;
}

void CoprocessReader::takeLine(QByteArrayView lineWithEnd)
{
    const QByteArrayView line = withoutCR(lineWithEnd.chopped(1));
    if (m_tokenSeen) {
        // The token command's marker closes the answer; its usage text and
        // anything else before it belong to no one.
        const auto marker = markerAtEnd(line, m_n + 1);
        if (marker && marker->first == 0) {
            m_state = State::Complete;
            m_pending.clear();
        }
        return;
    }
    if (line.contains(QByteArrayView(m_token))) {
        m_tokenSeen = true;
        finishAnswer(m_held);
        m_held.clear();
        return;
    }
    if (!m_held.isNull())
        sort(m_held);
    m_held = lineWithEnd.toByteArray();
}

void CoprocessReader::finishAnswer(QByteArrayView lastLine)
{
    const QByteArrayView line = lastLine.isEmpty() ? lastLine : withoutCR(lastLine.chopped(1));
    const auto marker = markerAtEnd(line, m_n);
    if (!marker) {
        if (!lastLine.isEmpty())
            sort(lastLine);
        return; // no status: the answer cannot be read
    }
    // Output without a final line end carries the marker glued to it.
    if (marker->first > 0)
        sort(line.first(marker->first));
    bool ok = false;
    m_status = marker->second.toLongLong(&ok);
    m_hasStatus = true;
    m_inRange =
        ok && m_status >= std::numeric_limits<int>::min() && m_status <= std::numeric_limits<int>::max();
    if (!ok)
        m_status = 0;
}

void CoprocessReader::sort(QByteArrayView lineWithEnd)
{
    // Merged streams: diagnostics are told apart by their prefix.
    if (lineWithEnd.startsWith(QByteArrayView("cleartool: Error:")) ||
        lineWithEnd.startsWith(QByteArrayView("cleartool: Warning:"))) {
        qsizetype end = lineWithEnd.size();
        while (end > 0 && (lineWithEnd[end - 1] == '\n' || lineWithEnd[end - 1] == '\r'))
            --end;
        if (auto e = errorOf(QString::fromLocal8Bit(lineWithEnd.first(end))))
            m_errors.append(*e);
        return;
    }
    m_batch.append(lineWithEnd);
}

} // namespace ccparse
