#include "base/textfile.h"

#include "base/errors.h"
#include "base/platform.h"

#include <QStringDecoder>

#include <cstring>

namespace {
constexpr qint64 kBlock = 64 * 1024;

// Where the next CR or LF is in [from, to), or to.
qsizetype lineEnd(const char *data, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i) {
        if (data[i] == '\n' || data[i] == '\r')
            return i;
    }
    return to;
}
} // namespace

LineReader::LineReader(QIODevice &device, qsizetype maxLine) : m_device(device), m_maxLine(maxLine) {}

bool LineReader::fill()
{
    if (m_eof)
        return false;
    m_buffer.remove(0, m_pos);
    m_pos = 0;
    const qsizetype had = m_buffer.size();
    m_buffer.resize(had + kBlock);
    const qint64 got = m_device.read(m_buffer.data() + had, kBlock);
    if (got < 0) {
        m_error = m_device.errorString();
        m_buffer.resize(had);
        m_eof = true;
        return false;
    }
    m_buffer.resize(had + qsizetype(got));
    if (got == 0)
        m_eof = true;
    return got > 0;
}

bool LineReader::next(QByteArray &line, char onlyStartingWith)
{
    line.clear();
    m_truncated = false;
    bool keep = true;
    bool started = false; // the line's first byte has been seen
    for (;;) {
        if (m_pos >= m_buffer.size() && !fill()) {
            // The end of the file ends the last line, if it has any bytes.
            if (!m_error.isEmpty())
                return false;
            if (started && keep)
                return true;
            if (started) // a skipped last line
                return false;
            return false;
        }
        const char *data = m_buffer.constData();
        if (m_afterCr) {
            m_afterCr = false;
            if (data[m_pos] == '\n') {
                ++m_pos;
                continue;
            }
        }
        if (!started) {
            started = true;
            keep = onlyStartingWith == '\0' || data[m_pos] == onlyStartingWith;
        }
        const qsizetype end = lineEnd(data, m_pos, m_buffer.size());
        if (keep) {
            const qsizetype room = m_maxLine < 0 ? end - m_pos : qMax<qsizetype>(0, m_maxLine - line.size());
            const qsizetype take = qMin(room, end - m_pos);
            line.append(data + m_pos, take);
            if (take < end - m_pos)
                m_truncated = true;
        }
        m_pos = end;
        if (end < m_buffer.size()) {
            m_afterCr = data[end] == '\r';
            ++m_pos;
            if (keep)
                return true;
            // A skipped line: on with the next one.
            started = false;
            keep = true;
            m_truncated = false;
        }
    }
}

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder decode(QStringDecoder::System);
    return decode(bytes);
}

std::unique_ptr<QFile> openTextFile(const QString &path)
{
    auto f = std::make_unique<QFile>(platform::toLocalPath(path));
    if (!f->open(QIODevice::ReadOnly))
        throw QuillonError(f->errorString());
    return f;
}

TextStart readTextStart(const QString &path, qint64 maxBytes)
{
    const auto f = openTextFile(path);
    TextStart start;
    start.fileSize = f->size();
    QByteArray bytes = f->read(maxBytes);
    if (f->error() != QFileDevice::NoError)
        throw QuillonError(f->errorString());
    start.cut = !f->atEnd();
    start.lines = splitTextLines(decodeText(bytes));
    return start;
}

QString readLastLine(const QString &path)
{
    const auto f = openTextFile(path);
    const qint64 size = f->size();
    const qint64 from = qMax<qint64>(0, size - kBlock);
    if (!f->seek(from))
        throw QuillonError(f->errorString());
    const QByteArray tail = f->readAll();
    if (f->error() != QFileDevice::NoError)
        throw QuillonError(f->errorString());
    return decodeText(lastLineOf(tail));
}

QByteArray lastLineOf(QByteArray text)
{
    // One line end at the very end closes the last line; the last line is
    // what follows the line end before it.
    if (text.endsWith("\r\n"))
        text.chop(2);
    else if (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    const qsizetype cut = qMax(text.lastIndexOf('\n'), text.lastIndexOf('\r'));
    return text.mid(cut + 1);
}

QStringList splitTextLines(const QString &text)
{
    QStringList lines;
    forEachLine(text, [&lines](QStringView line) { lines << line.toString(); });
    return lines;
}
