#pragma once

#include <QByteArray>
#include <QString>

// True when at least one directory entry matches path, a built path that is
// a listing pattern and may hold * and ?; a path ending in "\" matches the
// entries inside that folder. wantDir false: ordinary files only; true:
// files and folders. When the folder on the way cannot be read, the result
// is false and error (when given) says why.
bool fileExists(const QString &path, bool wantDir, QString *error = nullptr);

// What a file is at one moment, enough to tell whether anything has written
// it since (its size, times and a digest of its start), seen through a built
// path. Reading it is all that is needed.
struct FileState {
    bool exists = false;
    qint64 size = -1;
    qint64 modifiedMs = 0;
    qint64 changedMs = 0;
    QByteArray digest;
    bool operator==(const FileState &) const = default;
};
FileState fileState(const QString &path);
