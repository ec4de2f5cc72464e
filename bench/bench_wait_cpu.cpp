// wait_cpu: the parent's processor time while run_command waits for a child
// of two seconds, with the progress window animating as it does while a view
// is created. Beside it, from the same run: the same window left idle for
// the same time (what the window itself costs), and the same wait done by a
// loop that keeps dispatching events until the child ends.

#include "bench.h"

#include "ui/frmProgress.h"
#include "ui/run_command.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

double cpu_seconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Figures {
    double wall_s;
    double cpu_s;
};

template <typename Wait> Figures measure(Wait wait)
{
    QElapsedTimer wall;
    const double cpu0 = cpu_seconds();
    wall.start();
    wait();
    const double wall_s = double(wall.nsecsElapsed()) / 1e9;
    return {wall_s, cpu_seconds() - cpu0};
}

} // namespace

QUILLON_BENCH(wait_cpu)
{
    frmProgress progress;
    progress.start_progress(QStringLiteral("Creating view --> bench"));
    QCoreApplication::processEvents();

    const Figures waited = measure(
        [] { run_command(CommandLine(QStringLiteral("sleep"), {QStringLiteral("2")}), WINDOW_NORMAL); });

    const Figures idle = measure([] {
        QEventLoop loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
    });

    const Figures polled = measure([] {
        QProcess proc;
        proc.setProcessChannelMode(QProcess::ForwardedChannels);
        proc.setStandardInputFile(QProcess::nullDevice());
        proc.start(QStringLiteral("sleep"), {QStringLiteral("2")});
        proc.waitForStarted();
        while (proc.state() != QProcess::NotRunning)
            QCoreApplication::processEvents();
    });

    progress.stop_progress();

    std::printf("{\"bench\":\"wait_cpu\",\"child_s\":%.3f,\"parent_cpu_s\":%.4f,\"idle_window_cpu_s\":%.4f,"
                "\"wait_overhead_cpu_s\":%.4f,"
                "\"polling_child_s\":%.3f,\"polling_parent_cpu_s\":%.4f}\n",
                waited.wall_s, waited.cpu_s, idle.cpu_s, waited.cpu_s - idle.cpu_s, polled.wall_s,
                polled.cpu_s);
}
