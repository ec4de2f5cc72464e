#pragma once

#include <QObject>

#include <memory>

// One running instance per user. The first instance holds a lock in the
// user's private runtime folder and answers on a local socket there; a lock
// left behind by a crashed instance is taken over.
class SingleInstance : public QObject {
public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;
    // True when another live instance holds the lock.
    bool anotherIsRunning();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
