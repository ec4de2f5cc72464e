#include "base/files.h"

#include "base/platform.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

bool fileExists(const QString &path, bool wantDir, QString *error)
{
    const QString local = QDir::fromNativeSeparators(platform::toLocalPath(path));
    const qsizetype slash = local.lastIndexOf(QLatin1Char('/'));
    const QString dir =
        slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : local.left(slash));
    const QString pattern = local.mid(slash + 1);

    QDir::Filters filters = QDir::Files | QDir::NoDotAndDotDot;
    if (wantDir)
        filters |= QDir::Dirs;

    const QFileInfo dirInfo(dir);
    if (!dirInfo.exists() || !dirInfo.isDir())
        return false;
    if (!dirInfo.isReadable() || !dirInfo.isExecutable()) {
        if (error)
            *error = QStringLiteral("Permission denied");
        return false;
    }

    const bool wildcard = pattern.contains(QLatin1Char('*')) || pattern.contains(QLatin1Char('?'));
    if (!pattern.isEmpty() && !wildcard) {
        const QFileInfo fi(local);
        if (!fi.exists() || fi.isHidden())
            return false;
        return fi.isFile() || (wantDir && fi.isDir());
    }
    QDir d(dir);
    const QStringList found =
        pattern.isEmpty() ? d.entryList(filters) : d.entryList(QStringList{pattern}, filters);
    return !found.isEmpty();
}

FileState fileState(const QString &path)
{
    FileState state;
    const QString local = platform::toLocalPath(path);
    const QFileInfo info(local);
    if (!info.exists())
        return state;
    state.exists = true;
    state.size = info.size();
    state.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    state.changedMs = info.metadataChangeTime().toMSecsSinceEpoch();
    QFile f(local);
    if (f.open(QIODevice::ReadOnly))
        state.digest = QCryptographicHash::hash(f.read(64 * 1024), QCryptographicHash::Sha256);
    return state;
}
