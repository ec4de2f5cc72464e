#pragma once

// Helpers shared by the benchmarks that run the simulated cleartool.

#include "ui/messages.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <optional>

// Sets environment variables for the benchmark's life and puts the old values
// back afterwards.
class ScopedEnv {
public:
    ScopedEnv() = default;
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;
    ~ScopedEnv()
    {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value())
                qputenv(it.key().constData(), *it.value());
            else
                qunsetenv(it.key().constData());
        }
    }
    void set(const char *name, const QByteArray &value)
    {
        if (!m_saved.contains(name))
            m_saved.insert(name,
                           qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, value);
    }

    // The simulator first on PATH, its registry in home, region Windows,
    // every knob off.
    void use_simulator(const QString &home)
    {
        set("PATH", QByteArray(QUILLON_SIM_BIN_DIR) + ':' + qgetenv("PATH"));
        set("CCSIM_HOME", home.toLocal8Bit());
        set("CCSIM_REGION", "Windows");
        for (const char *knob : {"CCSIM_COST_START_MS", "CCSIM_COST_CMD_MS", "CCSIM_COST_TAG_MS",
                                 "CCSIM_FAIL", "CCSIM_DIE", "CCSIM_CRLF"})
            set(knob, QByteArray());
    }

private:
    QMap<QByteArray, std::optional<QByteArray>> m_saved;
};

// Message boxes of a benchmark are answered at once and printed on
// standard error, under the benchmark's name.
inline void print_messages(const char *bench)
{
    setMessageHandler([bench](const QString &text, MsgIcon, MsgButtons, const QString &) {
        std::fprintf(stderr, "%s: message: %s\n", bench, qPrintable(text));
        return MsgAnswer::Ok;
    });
}

// Runs one of the simulator's own commands (-sim-import, -sim-counters, ...)
// and returns its standard output; on failure says so on standard error.
inline QString sim_command(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(QUILLON_SIM_BIN_DIR "/cleartool"), args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        std::fprintf(stderr, "cleartool %s failed: %s\n", qPrintable(args.join(QLatin1Char(' '))),
                     p.readAllStandardError().constData());
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The simulator's counters.
struct SimCounters {
    long long process_starts = 0;
    long long commands = 0;
    long long tags = 0;
};

inline SimCounters sim_counters()
{
    SimCounters c;
    for (const QString &field : sim_command({QStringLiteral("-sim-counters")}).split(QLatin1Char(' '))) {
        const QString key = field.section(QLatin1Char('='), 0, 0);
        const long long value = field.section(QLatin1Char('='), 1).trimmed().toLongLong();
        if (key == QLatin1String("process_starts"))
            c.process_starts = value;
        else if (key == QLatin1String("commands"))
            c.commands = value;
        else if (key == QLatin1String("tags"))
            c.tags = value;
    }
    return c;
}

// Writes a file, making its folder; false when it cannot.
inline bool write_file(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The longest time the event loop handled nothing, while it runs: a timer
// asks to be woken every millisecond and notes the longest gap between two
// wake-ups.
class StallMeter {
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest_ms = qMax(m_longest_ms, double(m_clock.nsecsElapsed()) / 1e6);
            m_clock.restart();
        });
        m_clock.start();
        m_timer.start(1);
    }
    double longest_ms() const { return qMax(m_longest_ms, double(m_clock.nsecsElapsed()) / 1e6); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_longest_ms = 0;
};

// This process's resident memory, in megabytes.
inline double resident_mb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}
