// my_views: filling "My Existing View(s):" (get_myviews) from a region of
// 1,000, 10,000 and 100,000 views, of which every tenth is the user's (its
// tag holds the user name somewhere, in varying letter case). The simulated
// cleartool has no costs here. wall_s: until the list is filled; ages_s:
// until the entries carry their last access too.

#include "bench.h"
#include "bench_env.h"

#include "ui/appglobals.h"
#include "ui/frmMain.h"
#include "ui/messages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kSizes[] = {1000, 10000, 100000};

QByteArray user_tag(int i)
{
    switch (i % 3) {
    case 0: return "benchuser__view_" + QByteArray::number(i);
    case 1: return "old_BenchUser_" + QByteArray::number(i);
    default: return "v" + QByteArray::number(i) + "_BENCHUSER";
    }
}

bool write_region(const QString &file, int views)
{
    QByteArray lines;
    lines.reserve(views * 64);
    for (int i = 0; i < views; ++i) {
        const QByteArray tag = i % 10 == 0
                                   ? user_tag(i)
                                   : "user" + QByteArray::number(i % 97) + "__view_" + QByteArray::number(i);
        lines += "Windows|" + tag + "|\\\\vobhost\\views\\" + tag + ".vws||" +
                 (i % 7 ? "dynamic" : "active") + "|someone\n";
    }
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(lines) == lines.size();
}

} // namespace

QUILLON_BENCH(my_views)
{
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "my_views: no scratch directory\n");
        return;
    }
    const QDir root(scratch.path());
    ScopedEnv env;
    print_messages("my_views");
    AppGlobalsData &g = AppGlobals();
    g.tag_user = QStringLiteral("benchuser");
    g.unix_user = g.tag_user;

    for (int n : kSizes) {
        // A registry of its own per size: a listing reads the whole registry.
        const QString home = root.filePath(QStringLiteral("ccsim%1").arg(n));
        env.use_simulator(home);
        const QString file = root.filePath(QStringLiteral("views%1.txt").arg(n));
        if (!write_region(file, n)) {
            std::fprintf(stderr, "my_views: cannot write %s\n", qPrintable(file));
            break;
        }
        sim_command({QStringLiteral("-sim-import"), file});

        auto *w = new frmMain;
        g.mainWindow = w;
        w->show();
        auto *list = w->findChild<QListWidget *>(QStringLiteral("myViewsList"));
        QElapsedTimer timer;
        timer.start();
        w->findChild<QPushButton *>(QStringLiteral("refreshBut"))->click(); // "My Existing View(s):" Refresh
        const double wall_s = double(timer.nsecsElapsed()) / 1e9;
        if (list->count() != n / 10)
            std::fprintf(stderr, "my_views: %d views listed, %d expected\n", list->count(), n / 10);
        // The views' ages follow once the window is idle: until the last
        // entry has its tool tip.
        QDeadlineTimer limit(60000);
        while (list->count() > 0 && list->item(list->count() - 1)->toolTip().isEmpty() && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const double aged_s = double(timer.nsecsElapsed()) / 1e9;
        std::printf("{\"bench\":\"my_views\",\"views\":%d,\"listed\":%d,\"wall_s\":%.3f,\"ages_s\":%.3f}\n",
                    n, list->count(), wall_s, aged_s);
        std::fflush(stdout);
        delete w;
    }
    g.tag_user.clear();
    g.unix_user.clear();
    setMessageHandler({});
}
