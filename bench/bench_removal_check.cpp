// removal_check: what asking what a removal would lose adds to a removal:
// the view's registry entry (asked before, too), its checkouts from every
// VOB and its view-private files. With the simulated cleartool costing
// 150 ms per process start, 5 ms per command and 1 ms per tag named, for a
// view with no checkouts and one with 1,000 (among 1,000 more of other
// views). The session is warm, as it is after the list of views was read.

#include "bench.h"
#include "bench_env.h"

#include "clearcase/clearcase.h"
#include "clearcase/view_ops.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

QUILLON_BENCH(removal_check)
{
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "removal_check: no scratch directory\n");
        return;
    }
    ScopedEnv env;
    env.use_simulator(scratch.filePath(QStringLiteral("ccsim")));
    QByteArray views = "Windows|bench__empty|p0|vobhost|active|bench\n"
                       "Windows|bench__busy|p1|vobhost|active,checkouts=1000,private=200|bench\n";
    for (int i = 0; i < 5; ++i)
        views += "Windows|other_" + QByteArray::number(i) + "|q" + QByteArray::number(i) +
                 "|vobhost|checkouts=200|other\n";
    const QString file = scratch.filePath(QStringLiteral("views.txt"));
    if (!write_file(file, views))
        return;
    sim_command({QStringLiteral("-sim-import"), file});
    env.set("CCSIM_COST_START_MS", "150");
    env.set("CCSIM_COST_CMD_MS", "5");
    env.set("CCSIM_COST_TAG_MS", "1");

    CCSession session;
    ClearCaseApp cc(session);
    ClearTool tool(session);
    cc.viewTags(true, QStringLiteral("Windows")); // the co-process is running
    for (const char *tag : {"bench__empty", "bench__busy"}) {
        const QString name = QString::fromLatin1(tag);
        QElapsedTimer timer;
        timer.start();
        cc.View(name); // what the removal asked before
        const double before_s = double(timer.nsecsElapsed()) / 1e9;
        timer.restart();
        const RemovalCheck check = checkRemoval(cc, tool, name);
        const double check_s = double(timer.nsecsElapsed()) / 1e9;
        std::printf("{\"bench\":\"removal_check\",\"view\":\"%s\",\"checkouts\":%lld,\"private\":%d,"
                    "\"registry_s\":%.3f,\"check_s\":%.3f,\"added_s\":%.3f}\n",
                    tag, check.checkouts ? qlonglong(check.checkouts->size()) : -1LL,
                    check.privateFiles.value_or(-1), before_s, check_s, check_s - before_s);
        std::fflush(stdout);
    }
}
