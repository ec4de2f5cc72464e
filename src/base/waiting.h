#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QObject>

// Set once, when the program closes while something waits: every wait that
// watches it ends at once, and the operation that waited unwinds by the
// exception Interrupted.
class Interrupt : public QObject {
    Q_OBJECT

public:
    bool isSet() const { return m_set; }
    void set();
    // Throws Interrupted when set.
    void check() const;

signals:
    void fired();

private:
    bool m_set = false;
};

// Thrown by a wait whose Interrupt fired. Deliberately not a std::exception:
// the handlers that report failures never catch it, so it unwinds the whole
// operation up to the event handler that started it.
struct Interrupted {};

// A local event loop: the window repaints and reacts while it runs, and it
// uses no processor time of its own. Waits started inside it (from any event
// handler) end first.
class LocalWait {
public:
    enum class Outcome { Done, TimedOut, Interrupted };

    explicit LocalWait(const Interrupt *interrupt = nullptr);
    LocalWait(const LocalWait &) = delete;
    LocalWait &operator=(const LocalWait &) = delete;

    // Ends the wait; connect the awaited signals to it. A call before exec()
    // makes exec() return at once.
    void done();
    // Waits until done(), the deadline or the interrupt.
    Outcome exec(QDeadlineTimer deadline = QDeadlineTimer(QDeadlineTimer::Forever));

private:
    const Interrupt *m_interrupt;
    QEventLoop m_loop;
    bool m_done = false;
};
