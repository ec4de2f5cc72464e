#include "utils/textfile.h"

#include "outside/platform.h"
#include "utils/errors.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

QStringList split_text_lines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << text.mid(start, i - start);
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QStringList read_text_lines(const QString &path)
{
    QFile f(platform::to_local_path(path));
    if (!f.open(QIODevice::ReadOnly))
        throw QuillonError(f.errorString());
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw QuillonError(f.errorString());
    QStringDecoder decode(QStringDecoder::System);
    return split_text_lines(decode(bytes));
}

FileState file_state(const QString &path)
{
    FileState state;
    const QString local = platform::to_local_path(path);
    const QFileInfo info(local);
    if (!info.exists())
        return state;
    state.exists = true;
    state.size = info.size();
    state.modified_ms = info.lastModified().toMSecsSinceEpoch();
    state.changed_ms = info.metadataChangeTime().toMSecsSinceEpoch();
    QFile f(local);
    if (f.open(QIODevice::ReadOnly))
        state.digest = QCryptographicHash::hash(f.read(64 * 1024), QCryptographicHash::Sha256);
    return state;
}
