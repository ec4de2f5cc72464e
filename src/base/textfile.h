#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <memory>

// The one line reader for every text file the program reads. A line ends at
// CR LF, at CR or at LF; a final line without an end counts. It reads as it
// goes, in blocks, so that its cost follows the file's size and its memory
// does not: a line longer than the limit is cut there (the rest of it is
// skipped and truncated() says so).
class LineReader {
public:
    static constexpr qsizetype kNoLimit = -1;
    explicit LineReader(QIODevice &device, qsizetype maxLine = kNoLimit);

    // The next line's bytes, without its end; false at the end of the file or
    // when reading fails (error() then says why). With onlyStartingWith
    // set, lines that do not start with that byte are skipped unread.
    bool next(QByteArray &line, char onlyStartingWith = '\0');
    bool truncated() const { return m_truncated; }
    const QString &error() const { return m_error; }

private:
    bool fill();

    QIODevice &m_device;
    qsizetype m_maxLine;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_eof = false;
    bool m_afterCr = false; // the last line ended in CR: a following LF belongs to it
    bool m_truncated = false;
    QString m_error;
};

// Bytes as text, in the system's 8-bit code page.
QString decodeText(const QByteArray &bytes);

// Opens a built path (mapped to a local one here) for reading; throws
// QuillonError with the platform's description when it cannot.
std::unique_ptr<QFile> openTextFile(const QString &path);

// The file's start, at most maxBytes of it, as lines; whether anything was
// left out.
struct TextStart {
    QStringList lines;
    bool cut = false;
    qint64 fileSize = 0;
};
TextStart readTextStart(const QString &path, qint64 maxBytes);

// The last line of a file, read from its end whatever its size ("" for an
// empty file); throws QuillonError when it cannot be read.
QString readLastLine(const QString &path);
// The last line of a text (or of the end of one).
QByteArray lastLineOf(QByteArray text);

// Calls fn(QStringView line, QStringView end) for each line of a text, by
// the same rules: the line without its end, and the end ("\r\n", "\r",
// "\n", or empty for a last line without one).
template <typename Fn> void forEachLineWithEnd(QStringView text, Fn fn)
{
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        const qsizetype endLength =
            c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n') ? 2 : 1;
        fn(text.mid(start, i - start), text.mid(i, endLength));
        i += endLength - 1;
        start = i + 1;
    }
    if (start < n)
        fn(text.mid(start), QStringView());
}

// Calls fn(QStringView line) for each line of a text, without its end.
template <typename Fn> void forEachLine(QStringView text, Fn fn)
{
    forEachLineWithEnd(text, [&fn](QStringView line, QStringView) { fn(line); });
}

// Splits text into lines by the same rules.
QStringList splitTextLines(const QString &text);
