#pragma once

#include <QString>
#include <QStringList>

// The one line reader for every text file the program reads. A line ends at
// CR LF, at CR or at LF; a final line without an end counts; bytes are
// decoded with the system's 8-bit code page. The path is a built path (it
// is mapped to a local one here). Throws QuillonError when the file cannot
// be opened or read.
QStringList read_text_lines(const QString &path);

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
