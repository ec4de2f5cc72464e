#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

// One running instance per user. The first instance holds a lock in the
// user's private runtime folder and answers on a local socket there; a lock
// left behind by a crashed instance is taken over. A second start hands its
// command-line words over on the socket, and the first is asked to show
// itself.
class SingleInstance : public QObject {
public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;
    // True when another live instance holds the lock; this start's words
    // are then handed to it.
    bool anotherIsRunning();
    // Whether the running instance took this start's words.
    bool handedOver() const;
    // Called in the first instance with the words of each later start.
    void onLaterStart(std::function<void(const QStringList &)> handler);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
