#include "app/single_instance.h"

#include "base/platform.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

struct SingleInstance::Impl {
    bool usable;
    QString name; // the socket's path
    QLockFile lock;
    QLocalServer server;
    explicit Impl(const QString &dir)
        : usable(!dir.isEmpty()), name(dir + QStringLiteral("/quillon.socket")),
          lock(dir + QStringLiteral("/quillon.lock"))
    {
    }
};

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent), d(std::make_unique<Impl>(platform::privateRuntimeDir()))
{
}

SingleInstance::~SingleInstance()
{
    d->server.close();
    d->lock.unlock();
}

bool SingleInstance::anotherIsRunning()
{
    // Without a folder of the user's own there is nowhere safe to keep the
    // lock: another user could hold it. The check is then left out.
    if (!d->usable)
        return false;
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
    d->server.setSocketOptions(QLocalServer::UserAccessOption);
    d->server.listen(d->name);
    return false;
}
