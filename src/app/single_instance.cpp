#include "app/single_instance.h"

#include "base/platform.h"
#include "base/waiting.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

struct SingleInstance::Impl {
    bool usable;
    bool handedOver = false;
    std::function<void(const QStringList &)> laterStart;
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
        // Both waits run the event loop, as every wait on this thread does.
        QLocalSocket probe;
        const auto waitFor = [&probe](auto signal, auto finished) {
            LocalWait wait;
            QObject::connect(&probe, signal, &probe, [&wait, finished] {
                if (finished())
                    wait.done();
            });
            QObject::connect(&probe, &QLocalSocket::errorOccurred, &probe, [&wait] { wait.done(); });
            if (!finished())
                wait.exec(QDeadlineTimer(1000));
        };
        const auto connected = [&probe] { return probe.state() == QLocalSocket::ConnectedState; };
        probe.connectToServer(d->name);
        waitFor(&QLocalSocket::connected, connected);
        if (connected()) {
            // This start's words, as JSON, for the running instance.
            probe.write(QJsonDocument(QJsonArray::fromStringList(QCoreApplication::arguments().mid(1)))
                            .toJson(QJsonDocument::Compact));
            const auto written = [&probe] { return probe.bytesToWrite() == 0; };
            waitFor(&QLocalSocket::bytesWritten, written);
            d->handedOver = written() && connected();
            probe.disconnectFromServer();
            return true;
        }
        d->lock.removeStaleLockFile();
        if (!d->lock.tryLock(0))
            return true;
    }
    QLocalServer::removeServer(d->name);
    d->server.setSocketOptions(QLocalServer::UserAccessOption);
    d->server.listen(d->name);
    // A later start writes its words and hangs up; a probe that only looks
    // for a live instance writes nothing.
    connect(&d->server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *later = d->server.nextPendingConnection()) {
            connect(later, &QLocalSocket::disconnected, this, [this, later] {
                const QJsonDocument words = QJsonDocument::fromJson(later->readAll());
                later->deleteLater();
                if (words.isArray() && d->laterStart) {
                    QStringList list;
                    for (const QJsonValue &w : words.array())
                        list << w.toString();
                    d->laterStart(list);
                }
            });
        }
    });
    return false;
}

bool SingleInstance::handedOver() const
{
    return d->handedOver;
}

void SingleInstance::onLaterStart(std::function<void(const QStringList &)> handler)
{
    d->laterStart = std::move(handler);
}
