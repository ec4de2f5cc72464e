#pragma once

// What the program ran, for the user and for whoever reads its log: every
// program started and every cleartool command, with its arguments (secrets
// masked), its exit status, how long it took and the first error it wrote.
// Kept in memory only (the newest kCommandLogSize entries); nothing is
// written to a file. The same records reach the logging categories
// quillon.process and quillon.clearcase (base/logging.h).

#include "base/logging.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QString>

#include <deque>
#include <functional>

struct CommandRecord {
    enum class Source { Program, ClearCase };
    Source source = Source::Program;
    QDateTime started;
    QString command;       // the program and its arguments as shown, secrets masked
    bool ran = false;      // false: it could not be started
    bool detached = false; // started and not waited for
    qint64 exitCode = -1;  // as the program reported it; -1 also when there is none
    bool crashed = false;  // ended by a signal (signal, when known) or abnormally
    int signal = 0;
    bool noStatus = false;    // it ended, or its answer came, without a status
    bool timedOut = false;    // not answered in time (it may still run)
    bool interrupted = false; // the wait was ended (the window closed); it runs on
    qint64 durationMs = 0;
    QString firstError; // the start failure, or the first line of its errors

    bool failed() const
    {
        return !ran || crashed || timedOut || noStatus || (!detached && !interrupted && exitCode != 0);
    }
    // "exit 0 in 12 ms", "could not start: ...", "no answer after 60000 ms", ...
    QString outcome() const;
};

inline constexpr std::size_t kCommandLogSize = 1000;

// One command being run: logged when it starts, recorded when finish() is
// called (or, without it, as not started when it goes).
class CommandRun {
public:
    CommandRun(CommandRecord::Source source, QString command);
    ~CommandRun();
    CommandRun(const CommandRun &) = delete;
    CommandRun &operator=(const CommandRun &) = delete;

    CommandRecord &record() { return m_record; }
    void finish();

private:
    CommandRecord m_record;
    QElapsedTimer m_clock;
    bool m_finished = false;
};

namespace commandlog {
// The newest entries, oldest first.
const std::deque<CommandRecord> &entries();
void add(CommandRecord record);
void clear();
// Called after each new entry (one listener: the window that shows the log).
void setListener(std::function<void()> listener);
// The first non-blank line of a program's diagnostics.
QString firstLine(QStringView text);
} // namespace commandlog
