// project_load: choosing a project in the main window (offscreen) until its
// catalogue is loaded, with the simulated cleartool costing what a real one
// does (150 ms a process start, 5 ms a command, 1 ms a tag looked up), for
// projects of 10, 100 and 1000 templates. A quarter of the templates' tags
// exist as views; the region holds 2000 views of other users besides.

#include "bench.h"
#include "bench_env.h"
#include "bench_site.h"

#include "app/mainModule.h"
#include "base/platform.h"
#include "site/config_reader.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"
#include "ui/messages.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kSizes[] = {10, 100, 1000};
constexpr int kOtherViews = 2000;

QByteArray template_text(int i)
{
    QByteArray text = "#Kestrel_Description:Generated template " + QByteArray::number(i) + "\r\n";
    if (i % 3 == 0)
        text += "#Kestrel_Snapdir:C:\\views\\snap\r\n";
    text += "element * CHECKEDOUT\r\n"
            "element /vobs/app/... .../dev/LATEST\r\n"
            "element /vobs/app/... /main/LATEST -mkbranch dev\r\n"
            "element * /main/LATEST\r\n";
    return text;
}

// Lays out the program folder, the projects p10, p100 and p1000 and the
// registry import; false when something could not be written.
bool lay_out(const QDir &root)
{
    QByteArray cfg = "HOST=vobhost\r\nKESTREL_CONFIG=\\ccstorage\\utils\\kestrel\\config\r\n"
                     "IS_INTEROP=true\r\nNT_ONLY=false\r\nADMIN=benchuser\r\n";
    QByteArray views;
    for (int n : kSizes) {
        const QString project = QStringLiteral("p%1").arg(n);
        cfg += "PROJECT=" + project.toLatin1() + "\r\n";
        const QString dir =
            root.filePath(QStringLiteral("unc/vobhost/ccstorage/utils/kestrel/config/") + project);
        bool ok = write_file(dir + QStringLiteral("/kestrel.dft"), "default\r\n");
        for (int i = 0; i < n; ++i) {
            const QString name = project + QStringLiteral("_tmpl_%1").arg(i, 4, 10, QLatin1Char('0'));
            ok = ok && write_file(dir + QLatin1Char('/') + name, template_text(i));
            if (i % 4 != 0)
                continue;
            const QByteArray tag = "benchuser__" + name.toLatin1();
            const char *flags = i % 12 == 0 ? "snapshot" : (i % 8 == 0 ? "active" : "dynamic");
            views += "Windows|" + tag + "|\\\\vobhost\\views\\" + project.toLatin1() + "\\" + tag + ".vws||" +
                     flags + "|benchuser\n";
        }
        if (!ok)
            return false;
    }
    for (int i = 0; i < kOtherViews; ++i) {
        const QByteArray tag = "user" + QByteArray::number(i % 50) + "__view_" + QByteArray::number(i);
        views += "Windows|" + tag + "|\\\\vobhost\\views\\" + tag + ".vws||active|someone\n";
    }
    return write_file(root.filePath(QStringLiteral("program/qn.cfg")), cfg) &&
           write_file(root.filePath(QStringLiteral("views.txt")), views);
}

} // namespace

QUILLON_BENCH(project_load)
{
    BenchSite site("project_load");
    if (!site.valid()) {
        std::fprintf(stderr, "project_load: no scratch directory\n");
        return;
    }
    const QDir root(site.path(QString()));
    if (!lay_out(root)) {
        std::fprintf(stderr, "project_load: cannot lay out the site\n");
        return;
    }
    sim_command({QStringLiteral("-sim-import"), root.filePath(QStringLiteral("views.txt"))});
    site.env().set("CCSIM_COST_START_MS", "150");
    site.env().set("CCSIM_COST_CMD_MS", "5");
    site.env().set("CCSIM_COST_TAG_MS", "1");

    for (int n : kSizes) {
        // A fresh window each time: the load is the first choice after start,
        // cleartool's co-process included.
        frmMain *w = site.open();
        w->show();
        // The controls by name: the form's header is the library's own.
        auto *list = w->findChild<QListWidget *>(QStringLiteral("viewsList"));
        auto *markers = w->findChild<QListWidget *>(QStringLiteral("viewStatusList"));
        sim_command({QStringLiteral("-sim-reset-counters")});
        QElapsedTimer timer;
        timer.start();
        BenchSite::pick(w, QStringLiteral("p%1").arg(n));
        const double wall_s = double(timer.nsecsElapsed()) / 1e9;
        const SimCounters c = sim_counters();
        if (list->count() != n)
            std::fprintf(stderr, "project_load: %d templates listed of %d\n", list->count(), n);
        int existing = 0;
        for (int i = 0; i < markers->count(); ++i)
            existing += markers->item(i)->text() != QLatin1String("U");
        if (existing != (n + 3) / 4)
            std::fprintf(stderr, "project_load: %d templates with views, %d expected\n", existing,
                         (n + 3) / 4);
        std::printf("{\"bench\":\"project_load\",\"templates\":%d,\"wall_s\":%.3f,\"process_starts\":%lld,"
                    "\"commands\":%lld,\"tags\":%lld}\n",
                    n, wall_s, c.process_starts, c.commands, c.tags);
        std::fflush(stdout);
    }
}
