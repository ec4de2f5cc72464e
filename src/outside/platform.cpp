#include "outside/platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QUrl>

#include <pwd.h>
#include <unistd.h>

namespace platform {

QString program_dir()
{
    const QString dir = qEnvironmentVariable("QUILLON_PROGRAM_DIR");
    if (!dir.isEmpty())
        return dir;
    return QCoreApplication::applicationDirPath();
}

QString unc_root()
{
    const QString root = qEnvironmentVariable("QUILLON_UNC_ROOT");
    return root.isEmpty() ? QStringLiteral("/net") : root;
}

QString to_local_path(const QString &built)
{
    if (built.startsWith(QLatin1String("\\\\"))) {
        QString rest = built.mid(2);
        rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return unc_root() + QLatin1Char('/') + rest;
    }
    return QString(built).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString login_name()
{
    // The session's login name; USER is what the desktop session sets.
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty()) {
        if (const passwd *pw = getpwuid(geteuid()))
            name = QString::fromLocal8Bit(pw->pw_name);
    }
    return name;
}

QString command_line_args()
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

QStringList split_command_line(const QString &command)
{
    QStringList words;
    QString word;
    bool in_word = false;
    bool in_quotes = false;
    for (const QChar c : command) {
        if (c == QLatin1Char('"')) {
            in_quotes = !in_quotes;
            in_word = true;
        } else if (c == QLatin1Char(' ') && !in_quotes) {
            if (in_word)
                words << word;
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word)
        words << word;
    return words;
}

void open_url(const QString &address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

struct SingleInstance::Impl {
    QString name;
    QLockFile lock;
    QLocalServer server;
    explicit Impl(const QString &n) : name(n), lock(QDir::temp().filePath(n + QStringLiteral(".lock"))) {}
};

SingleInstance::SingleInstance(const QString &name) : d(std::make_unique<Impl>(name)) {}

SingleInstance::~SingleInstance()
{
    d->server.close();
    d->lock.unlock();
}

bool SingleInstance::another_is_running()
{
    d->lock.setStaleLockTime(0);
    if (!d->lock.tryLock(0)) {
        // The lock is held. A live first instance answers on its socket; a
        // lock whose owner does not answer was left behind by a crash.
        QLocalSocket probe;
        probe.connectToServer(d->name);
        if (probe.waitForConnected(1000))
            return true;
        d->lock.removeStaleLockFile();
        if (!d->lock.tryLock(0))
            return true;
    }
    QLocalServer::removeServer(d->name);
    d->server.listen(d->name);
    return false;
}

} // namespace platform
