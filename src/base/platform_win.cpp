// The Windows side of platform.h: what platform.cpp leaves out there.
#include "base/platform.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QUuid>

#include <windows.h>

#include <io.h>

#include <cstdio>

namespace platform {

void useStartersConsole()
{
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN)
        return; // led to a file, a pipe or a console already
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

namespace {

QString lastError(DWORD code = GetLastError())
{
    return qt_error_string(int(code));
}

} // namespace

QString loginName()
{
    // USERNAME is what the logon session sets; the account's own name
    // otherwise.
    QString name = qEnvironmentVariable("USERNAME");
    if (name.isEmpty()) {
        wchar_t buffer[257];
        DWORD size = DWORD(std::size(buffer));
        if (GetUserNameW(buffer, &size) && size > 0)
            name = QString::fromWCharArray(buffer, int(size - 1));
    }
    return name;
}

std::optional<QStringList> listFiles(const QString &localDir, QString *error)
{
    const QString pattern = QDir::toNativeSeparators(localDir) + QStringLiteral("\\*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(reinterpret_cast<const wchar_t *>(pattern.utf16()), FindExInfoBasic,
                                     &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            return QStringList(); // an empty folder (not even . and ..)
        if (error)
            *error = lastError(code);
        return std::nullopt;
    }
    QStringList names;
    constexpr DWORD skipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if ((found.dwFileAttributes & skipped) == 0 && found.cFileName[0] != L'.')
            names << QString::fromWCharArray(found.cFileName);
    } while (FindNextFileW(search, &found));
    const DWORD code = GetLastError();
    FindClose(search);
    if (code != ERROR_NO_MORE_FILES) {
        if (error)
            *error = lastError(code);
        return std::nullopt;
    }
    return names;
}

QString privateRuntimeDir()
{
    // The user's temporary folder lies in the profile, which only the user
    // (and the administrators) may enter.
    const QString dir = QDir::tempPath() + QStringLiteral("/quillon");
    return QDir().mkpath(dir) ? dir : QString();
}

PrivateFile::PrivateFile(const QString &fileName, const QByteArray &content)
{
    QString base = privateRuntimeDir();
    if (base.isEmpty())
        base = QDir::tempPath();
    const QString dir =
        base + QStringLiteral("/quillon.") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    if (!QDir().mkdir(dir)) {
        m_error = QStringLiteral("cannot make the folder %1").arg(QDir::toNativeSeparators(dir));
        return;
    }
    m_dir = dir;
    QFile file(dir + QLatin1Char('/') + fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(content) != content.size()) {
        m_error = file.errorString();
        return;
    }
    m_path = file.fileName();
}

SecretChannel::SecretChannel(const QByteArray &secret, Kind kind)
{
    if (kind == Kind::InheritedPipe) {
        // A named pipe only this user may open. It answers the first reader
        // with the secret and then closes, so that nobody reads it after
        // the program; the program must read while this process waits.
        auto server = std::make_unique<QLocalServer>();
        server->setSocketOptions(QLocalServer::UserAccessOption);
        server->setMaxPendingConnections(1);
        const QString name = QStringLiteral("quillon-") + QUuid::createUuid().toString(QUuid::Id128);
        if (server->listen(name)) {
            QLocalServer *s = server.get();
            QObject::connect(s, &QLocalServer::newConnection, s, [s, secret] {
                QLocalSocket *reader = s->nextPendingConnection();
                s->close(); // one reader only
                if (!reader)
                    return;
                QObject::connect(reader, &QLocalSocket::disconnected, reader, &QObject::deleteLater);
                reader->write(secret);
                reader->disconnectFromServer(); // after what was written has gone
            });
            m_path = server->fullServerName();
            m_server = std::move(server);
            return;
        }
        m_error = server->errorString(); // then a file, below
    }
    m_file = std::make_unique<PrivateFile>(QStringLiteral("password"), secret);
    m_path = m_file->path();
    if (!m_file->error().isEmpty())
        m_error = m_file->error();
}

SecretChannel::~SecretChannel() = default;

void SecretChannel::started()
{
    // The named pipe stays until its one reader has come or the channel
    // ends.
}

ErrorCapture::ErrorCapture()
{
    // A file that goes when the last handle to it is closed (this one, or
    // the program's): nothing is left behind, and the program may go on
    // writing after this process has ended. It is written through one
    // handle, opened for appending only, and read through another, so that
    // reading never moves where the program writes.
    const QString name = QDir::toNativeSeparators(QDir::tempPath() + QStringLiteral("/quillon-err.") +
                                                  QUuid::createUuid().toString(QUuid::Id128));
    const auto *path = reinterpret_cast<const wchar_t *>(name.utf16());
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE writer = CreateFileW(path, FILE_APPEND_DATA | SYNCHRONIZE, share, &inherited, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (writer == INVALID_HANDLE_VALUE)
        return;
    HANDLE reader = CreateFileW(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (reader == INVALID_HANDLE_VALUE) {
        CloseHandle(writer);
        return;
    }
    m_fd = _open_osfhandle(reinterpret_cast<intptr_t>(writer), 0);
    if (m_fd < 0) {
        CloseHandle(writer);
        CloseHandle(reader);
        return;
    }
    m_reader = reader;
}

ErrorCapture::~ErrorCapture()
{
    if (m_fd >= 0)
        _close(m_fd);
    if (m_reader)
        CloseHandle(m_reader);
}

QByteArray ErrorCapture::tail(qsizetype maxBytes) const
{
    if (!m_reader)
        return QByteArray();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_reader, &size) || size.QuadPart <= 0)
        return QByteArray();
    const qint64 from = size.QuadPart > maxBytes ? size.QuadPart - maxBytes : 0;
    LARGE_INTEGER at;
    at.QuadPart = from;
    if (!SetFilePointerEx(m_reader, at, nullptr, FILE_BEGIN))
        return QByteArray();
    QByteArray bytes(qsizetype(size.QuadPart - from), '\0');
    DWORD got = 0;
    if (!ReadFile(m_reader, bytes.data(), DWORD(bytes.size()), &got, nullptr))
        got = 0;
    bytes.resize(qsizetype(got));
    return bytes;
}

void applyChildSetup(QProcess &process, const ChildSetup &setup)
{
    // Nothing is inherited but the standard handles, and a broken pipe is
    // always an error the program sees here.
    if (setup.stdoutFd < 0 && setup.stderrFd < 0)
        return;
    const HANDLE out = setup.stdoutFd >= 0 ? HANDLE(_get_osfhandle(setup.stdoutFd)) : nullptr;
    const HANDLE err = setup.stderrFd >= 0 ? HANDLE(_get_osfhandle(setup.stderrFd)) : nullptr;
    process.setCreateProcessArgumentsModifier([out, err](QProcess::CreateProcessArguments *args) {
        args->inheritHandles = TRUE;
        args->startupInfo->dwFlags |= STARTF_USESTDHANDLES;
        if (out)
            args->startupInfo->hStdOutput = out;
        if (err)
            args->startupInfo->hStdError = err;
    });
}

} // namespace platform
