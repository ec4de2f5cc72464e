// ui_stall: the longest time the main window handles no events, beside the
// total time, during a project load of 100 templates with the simulated
// cleartool at 150 ms a process start, 500 ms a command and 1 ms a tag, and
// during one Refresh of "My Existing View(s):" with a cleartool that never
// answers (given up after the timeout, 3 s here), and during View Detail of
// a view whose config spec is 100 MB (cleartool's answer is read as it
// comes and refused at 64 MB), with the peak memory above the idle process.

#include "bench.h"
#include "bench_site.h"

#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

#include <cstdio>
#include <cstring>

namespace {
constexpr int kTemplates = 100;

bool lay_out(BenchSite &site)
{
    bool ok = write_file(
        site.path(QStringLiteral("program/qn.cfg")),
        "HOST=vobhost\r\nKESTREL_CONFIG=\\ccstorage\\utils\\kestrel\\config\r\nIS_INTEROP=false\r\n"
        "NT_ONLY=true\r\nADMIN=benchuser\r\nPROJECT=p100\r\n");
    QByteArray views;
    for (int i = 0; i < kTemplates; ++i) {
        const QString name = QStringLiteral("tmpl_%1").arg(i, 3, 10, QLatin1Char('0'));
        ok = ok && write_file(site.project(QStringLiteral("p100/")) + name,
                              "#Kestrel_Description:template " + name.toLatin1() +
                                  "\r\nelement * /main/LATEST\r\n");
        if (i % 4 == 0)
            views += "Windows|benchuser__" + name.toLatin1() + "|\\\\vobhost\\v\\" + name.toLatin1() +
                     ".vws||active|benchuser\n";
    }
    ok = ok && write_file(site.path(QStringLiteral("views.txt")), views);
    return ok;
}

// A line of /proc/self/status ("VmRSS", "VmHWM") in MB.
double status_mb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qsizetype(std::strlen(key)) + 1).trimmed().split(' ').value(0).toDouble() /
                   1024.0;
    }
    return -1;
}

// The peak memory starts again from what the process holds now.
void reset_peak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

void report(const char *what, double total_s, double stall_ms)
{
    std::printf("{\"bench\":\"ui_stall\",\"case\":\"%s\",\"total_s\":%.3f,\"longest_stall_ms\":%.1f}\n", what,
                total_s, stall_ms);
    std::fflush(stdout);
}
} // namespace

QUILLON_BENCH(ui_stall)
{
    BenchSite site("ui_stall");
    if (!site.valid() || !lay_out(site)) {
        std::fprintf(stderr, "ui_stall: cannot lay out the site\n");
        return;
    }
    sim_command({QStringLiteral("-sim-import"), site.path(QStringLiteral("views.txt"))});
    site.env().set("QUILLON_CLEARTOOL_TIMEOUT", "3");
    site.env().set("CCSIM_COST_START_MS", "150");
    site.env().set("CCSIM_COST_CMD_MS", "500");
    site.env().set("CCSIM_COST_TAG_MS", "1");

    frmMain *w = site.open();
    w->show();
    QCoreApplication::processEvents();
    {
        QElapsedTimer clock;
        clock.start();
        const StallMeter meter;
        BenchSite::pick(w, QStringLiteral("p100"));
        report("project_load", double(clock.nsecsElapsed()) / 1e9, meter.longest_ms());
    }
    // From here every command sleeps for ten minutes: cleartool never answers.
    write_file(site.path(QStringLiteral("ccsim/knobs")), "CCSIM_COST_CMD_MS=600000\n");
    {
        QElapsedTimer clock;
        clock.start();
        const StallMeter meter;
        w->findChild<QPushButton *>(QStringLiteral("refreshBut"))->click();
        report("refresh_hung", double(clock.nsecsElapsed()) / 1e9, meter.longest_ms());
    }

    // One answer of 100 MB: a view whose config spec is as large.
    write_file(site.path(QStringLiteral("ccsim/knobs")), "");
    {
        QByteArray spec;
        const QByteArray rule = "element * /main/LATEST # a rule of a very large config spec\n";
        spec.reserve(100 * 1024 * 1024 + rule.size());
        while (spec.size() < 100 * 1024 * 1024)
            spec += rule;
        write_file(site.path(QStringLiteral("big.cs")), spec);
        write_file(site.path(QStringLiteral("big.txt")),
                   "Windows|benchuser__big|\\\\vobhost\\v\\big.vws||-|benchuser||big.cs\n");
    }
    sim_command({QStringLiteral("-sim-import"), site.path(QStringLiteral("big.txt"))});
    site.env().set("QUILLON_CLEARTOOL_TIMEOUT", "300");
    w = site.open();
    w->show();
    BenchSite::pick(w, QStringLiteral("p100"));
    w->findChild<QPushButton *>(QStringLiteral("refreshBut"))->click();
    auto *list = w->findChild<QListWidget *>(QStringLiteral("myViewsList"));
    const auto found = list->findItems(QStringLiteral("benchuser__big"), Qt::MatchExactly);
    if (found.isEmpty()) {
        std::fprintf(stderr, "ui_stall: benchuser__big is not listed\n");
        return;
    }
    list->setCurrentItem(found.first());
    QCoreApplication::processEvents();
    {
        const double idle_mb = status_mb("VmRSS:");
        reset_peak();
        QElapsedTimer clock;
        clock.start();
        const StallMeter meter;
        w->findChild<QPushButton *>(QStringLiteral("detailBut"))->click();
        const double total_s = double(clock.nsecsElapsed()) / 1e9;
        const double stall_ms = meter.longest_ms();
        std::printf(
            "{\"bench\":\"ui_stall\",\"case\":\"answer_100mb\",\"total_s\":%.3f,\"longest_stall_ms\":%.1f,"
            "\"peak_above_idle_mb\":%.1f}\n",
            total_s, stall_ms, status_mb("VmHWM:") - idle_mb);
        std::fflush(stdout);
    }
}
