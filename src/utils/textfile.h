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
    explicit LineReader(QIODevice &device, qsizetype max_line = kNoLimit);

    // The next line's bytes, without its end; false at the end of the file or
    // when reading fails (error() then says why). With only_starting_with
    // set, lines that do not start with that byte are skipped unread.
    bool next(QByteArray &line, char only_starting_with = '\0');
    bool truncated() const { return m_truncated; }
    const QString &error() const { return m_error; }

private:
    bool fill();

    QIODevice &m_device;
    qsizetype m_max_line;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_eof = false;
    bool m_after_cr = false; // the last line ended in CR: a following LF belongs to it
    bool m_truncated = false;
    QString m_error;
};

// Bytes as text, in the system's 8-bit code page.
QString decode_text(const QByteArray &bytes);

// Opens a built path (mapped to a local one here) for reading; throws
// QuillonError with the platform's description when it cannot.
std::unique_ptr<QFile> open_text_file(const QString &path);

// Every line of a file; throws QuillonError when it cannot be read.
QStringList read_text_lines(const QString &path);

// The file's start, at most max_bytes of it, as lines; whether anything was
// left out.
struct TextStart {
    QStringList lines;
    bool cut = false;
    qint64 file_size = 0;
};
TextStart read_text_start(const QString &path, qint64 max_bytes);

// The last line of a file, read from its end whatever its size ("" for an
// empty file); throws QuillonError when it cannot be read.
QString read_last_line(const QString &path);
// The last line of a text (or of the end of one).
QByteArray last_line_of(QByteArray text);

// Splits text into lines by the same rules.
QStringList split_text_lines(const QString &text);

// What a file is at one moment, enough to tell whether anything has written
// it since (its size, times and a digest of its start), seen through a built
// path. Reading it is all that is needed.
struct FileState {
    bool exists = false;
    qint64 size = -1;
    qint64 modified_ms = 0;
    qint64 changed_ms = 0;
    QByteArray digest;
    bool operator==(const FileState &) const = default;
};
FileState file_state(const QString &path);
