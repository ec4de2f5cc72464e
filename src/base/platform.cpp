#include "base/platform.h"

#include "base/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <vector>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

QStringList siteConfigDirs()
{
    QStringList dirs;
    const QString named = qEnvironmentVariable("QUILLON_PROGRAM_DIR");
    if (!named.isEmpty())
        dirs << named;
    dirs << QCoreApplication::applicationDirPath();
    QString system = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (system.isEmpty())
        system = defaultSystemConfigDirs();
    for (const QString &dir : system.split(QDir::listSeparator(), Qt::SkipEmptyParts))
        dirs << dir + QStringLiteral("/quillon");
    return dirs;
}

QString siteConfigDir(const QString &fileName)
{
    const QStringList dirs = siteConfigDirs();
    for (const QString &dir : dirs) {
        if (QFileInfo(dir + QLatin1Char('/') + fileName).isFile()) {
            qCDebug(lcConfig).noquote() << fileName << "found in" << dir;
            return dir;
        }
    }
    qCWarning(lcConfig).noquote() << fileName << "found in none of" << dirs.join(QStringLiteral(", "));
    return dirs.last();
}

QString defaultEditor()
{
#ifdef Q_OS_WIN
    return QStringLiteral("notepad");
#else
    return QStringLiteral("xdg-open"); // the desktop's way to open a text file
#endif
}

QString defaultSshCommand()
{
#ifdef Q_OS_WIN
    return QStringLiteral("plink-x86.exe");
#else
    return QStringLiteral("plink");
#endif
}

bool hasClearCaseExplorer()
{
#ifdef Q_OS_WIN
    return true;
#else
    return false;
#endif
}

bool hasClearCaseDialogs()
{
    return hasClearCaseExplorer(); // both come with ClearCase on Windows only
}

// Windows has no system configuration folders, and reaches UNC paths itself.
#ifdef Q_OS_WIN
const char *const SYSTEM_CONFIG_DIRS = "";
const char *const UNC_ROOT = "";
#else
const char *const SYSTEM_CONFIG_DIRS = "/etc/xdg";
const char *const UNC_ROOT = "/net";
#endif

QString defaultSystemConfigDirs()
{
    return QString::fromLatin1(SYSTEM_CONFIG_DIRS);
}

QString defaultUncRoot()
{
    return QString::fromLatin1(UNC_ROOT);
}

QString uncRoot()
{
    const QString root = qEnvironmentVariable("QUILLON_UNC_ROOT");
    return root.isEmpty() ? defaultUncRoot() : root;
}

QString toLocalPath(const QString &built)
{
    // In the platform's separators at the end: the path may go to another
    // program (on Windows a UNC root is joined with slashes).
#ifdef Q_OS_WIN
    if (uncRoot().isEmpty())
        return QDir::toNativeSeparators(built);
#endif
    if (built.startsWith(QLatin1String("\\\\"))) {
        QString rest = built.mid(2);
        rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return QDir::toNativeSeparators(uncRoot() + QLatin1Char('/') + rest);
    }
    return QDir::toNativeSeparators(QString(built).replace(QLatin1Char('\\'), QLatin1Char('/')));
}

QString shellLine(const QStringList &words)
{
    QStringList quoted;
#ifdef Q_OS_WIN
    // As a Windows program reads its command line: a word with blanks, a
    // double quote or one of cmd's own characters goes in double quotes;
    // inside them a double quote is \", and backslashes before one are
    // doubled.
    static const QRegularExpression plain(QStringLiteral("^[^\\s\"&|<>^()]+$"));
    for (const QString &w : words) {
        if (plain.match(w).hasMatch()) {
            quoted << w;
            continue;
        }
        QString q = QStringLiteral("\"");
        qsizetype backslashes = 0;
        for (const QChar c : w) {
            if (c == QLatin1Char('\\')) {
                ++backslashes;
            } else {
                if (c == QLatin1Char('"'))
                    q += QString(backslashes + 1, QLatin1Char('\\'));
                backslashes = 0;
            }
            q += c;
        }
        q += QString(backslashes, QLatin1Char('\\')) + QLatin1Char('"');
        quoted << q;
    }
#else
    // Only these need no quotes; anything else goes in single quotes, a
    // single quote itself as '\''.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    for (const QString &w : words) {
        if (plain.match(w).hasMatch())
            quoted << w;
        else
            quoted << QLatin1Char('\'') + QString(w).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
                          QLatin1Char('\'');
    }
#endif
    return quoted.join(QLatin1Char(' '));
}

QString commandLineArgs()
{
    const QStringList args = QCoreApplication::arguments();
    QStringList words;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        words << ((a.isEmpty() || a.contains(QLatin1Char(' '))) ? QLatin1Char('"') + a + QLatin1Char('"')
                                                                : a);
    }
    return words.join(QLatin1Char(' '));
}

#ifndef Q_OS_WIN
// The Windows versions are in platform_win.cpp.

void useStartersConsole()
{
    // A Unix program's standard streams are those it was started with.
}

QString loginName()
{
    // The session's login name; USER is what the desktop session sets.
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty()) {
        if (const passwd *pw = getpwuid(geteuid()))
            name = QString::fromLocal8Bit(pw->pw_name);
    }
    return name;
}

std::optional<QStringList> listFiles(const QString &localDir, QString *error)
{
    const QByteArray path = QFile::encodeName(localDir);
    DIR *dir = ::opendir(path.constData());
    if (!dir) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    QStringList names;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue; // hidden, and . and ..
        struct stat st {};
        if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            names << QFile::decodeName(entry->d_name);
        errno = 0;
    }
    const int failure = errno;
    ::closedir(dir);
    if (failure != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(failure));
        return std::nullopt;
    }
    return names;
}

QString privateRuntimeDir()
{
    // Qt's runtime location is the session's XDG_RUNTIME_DIR, or a folder it
    // makes with mode 0700; it refuses one that another user owns.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
              QStringLiteral("/quillon");
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return QString();
    const QByteArray local = QFile::encodeName(dir);
    struct stat st {};
    if (::stat(local.constData(), &st) != 0 || st.st_uid != ::geteuid())
        return QString();
    if ((st.st_mode & 077) != 0 && ::chmod(local.constData(), 0700) != 0)
        return QString();
    return dir;
}

SecretChannel::SecretChannel(const QByteArray &secret, Kind kind)
{
    if (kind == Kind::InheritedPipe && QFileInfo(QStringLiteral("/dev/fd")).isDir()) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            m_error = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        // The write end never waits for the reader: what the pipe's buffer
        // cannot take at once is refused, not waited for (a password is far
        // smaller than the buffer).
        const int flags = ::fcntl(fds[1], F_GETFL);
        const bool written = flags >= 0 && ::fcntl(fds[1], F_SETFL, flags | O_NONBLOCK) == 0 &&
                             ::write(fds[1], secret.constData(), size_t(secret.size())) == secret.size();
        ::close(fds[1]);
        if (!written) {
            m_error = QStringLiteral("cannot write the password channel (%1 bytes)").arg(secret.size());
            ::close(fds[0]);
            return;
        }
        m_readFd = fds[0];
        m_path = QStringLiteral("/dev/fd/%1").arg(m_readFd);
        return;
    }
    m_file = std::make_unique<PrivateFile>(QStringLiteral("password"), secret);
    m_path = m_file->path();
    m_error = m_file->error();
}

SecretChannel::~SecretChannel()
{
    started();
}

PrivateFile::PrivateFile(const QString &fileName, const QByteArray &content)
{
    QString base = privateRuntimeDir();
    if (base.isEmpty())
        base = QDir::tempPath();
    // Made for this user only (0700); removed by this object, not by Qt.
    QTemporaryDir made(base + QStringLiteral("/quillon.XXXXXX"));
    if (!made.isValid()) {
        m_error = made.errorString();
        return;
    }
    made.setAutoRemove(false);
    m_dir = made.path();
    const QByteArray dir = QFile::encodeName(m_dir);
    ::chmod(dir.constData(), 0700);
    const QByteArray file = dir + '/' + QFile::encodeName(fileName);
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool written =
        fd >= 0 && ::write(fd, content.constData(), size_t(content.size())) == content.size();
    if (fd >= 0)
        ::close(fd);
    if (!written) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_path = QFile::decodeName(file);
}

void SecretChannel::started()
{
    if (m_readFd >= 0)
        ::close(m_readFd);
    m_readFd = -1;
}

ErrorCapture::ErrorCapture()
{
    QByteArray name = QFile::encodeName(QDir::tempPath() + QStringLiteral("/quillon-err.XXXXXX"));
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd >= 0)
        ::unlink(name.constData()); // nameless from the start
}

ErrorCapture::~ErrorCapture()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray ErrorCapture::tail(qsizetype maxBytes) const
{
    if (m_fd < 0)
        return QByteArray();
    const off_t size = ::lseek(m_fd, 0, SEEK_END);
    if (size <= 0)
        return QByteArray();
    const off_t from = size > maxBytes ? size - maxBytes : 0;
    QByteArray bytes(qsizetype(size - from), '\0');
    const ssize_t got = ::pread(m_fd, bytes.data(), size_t(bytes.size()), from);
    bytes.resize(got < 0 ? 0 : qsizetype(got));
    return bytes;
}

void applyChildSetup(QProcess &process, const ChildSetup &setup)
{
    if (setup.keepFd < 0 && setup.stdoutFd < 0 && setup.stderrFd < 0 && !setup.ignoreBrokenPipe)
        return;
    // Runs in the child between fork and exec: system calls only.
    const int keep = setup.keepFd, out = setup.stdoutFd, err = setup.stderrFd;
    const bool ignorePipe = setup.ignoreBrokenPipe;
    process.setChildProcessModifier([keep, out, err, ignorePipe] {
        if (keep >= 0)
            ::fcntl(keep, F_SETFD, 0);
        if (out >= 0)
            ::dup2(out, 1);
        if (err >= 0)
            ::dup2(err, 2);
        if (ignorePipe)
            ::signal(SIGPIPE, SIG_IGN);
    });
}

#endif // not Q_OS_WIN

PrivateFile::~PrivateFile()
{
    if (!m_dir.isEmpty() && !m_kept)
        QDir(m_dir).removeRecursively();
}

QByteArray PrivateFile::read() const
{
    QFile f(m_path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void keepRunning(QProcess *process)
{
    // Programs that outlive their wait are kept here, never deleted: a
    // deleted QProcess kills its program. Their ends are still collected
    // while the program runs. The list itself is never destroyed either, so
    // that they stay reachable to the very end.
    static auto *running = new std::vector<QProcess *>;
    process->disconnect();
    process->setParent(nullptr);
    running->push_back(process);
}

} // namespace platform
