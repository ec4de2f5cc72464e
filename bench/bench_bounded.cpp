// long_template: what a project costs that holds, beside 20 ordinary
// templates, one whose description is a single line of 1 MB and one of
// 50 MB (a 25 MB description line, then 25 MB of rules): the load with and
// without them, the selection of each (the window shown), and the memory
// they add.
// many_projects: the start of the program on a qn.cfg of 20,000 PROJECT lines.

#include "bench.h"
#include "bench_site.h"

#include <QCoreApplication>
#include <QListWidget>

#include <cstdio>

namespace {
const QByteArray kConfig =
    "HOST=vobhost\r\nKESTREL_CONFIG=\\ccstorage\\utils\\kestrel\\config\r\nIS_INTEROP=false\r\n"
    "NT_ONLY=true\r\nADMIN=benchuser\r\n";

double seconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e9;
}

// Loads the project in a fresh window; the load's time.
double load(BenchSite &site, const QString &project, frmMain **window)
{
    *window = site.open();
    (*window)->show();
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    BenchSite::pick(*window, project);
    return seconds(clock);
}

double select(frmMain *w, const QString &tag)
{
    auto *list = w->findChild<QListWidget *>(QStringLiteral("viewsList"));
    const auto found = list->findItems(tag, Qt::MatchExactly);
    if (found.isEmpty())
        return -1;
    QElapsedTimer clock;
    clock.start();
    list->setCurrentItem(found.first());
    QCoreApplication::processEvents();
    return seconds(clock);
}
} // namespace

QUILLON_BENCH(long_template)
{
    BenchSite site("long_template");
    bool ok = site.valid() && write_file(site.path(QStringLiteral("program/qn.cfg")),
                                         kConfig + "PROJECT=plain\r\nPROJECT=long\r\n");
    for (const char *project : {"plain", "long"}) {
        for (int i = 0; i < 20; ++i)
            ok = ok && write_file(site.project(QString::fromLatin1(project)) + QStringLiteral("/t%1").arg(i),
                                  "#Kestrel_Description:ordinary\r\nelement * /main/LATEST\r\n");
    }
    ok = ok &&
         write_file(site.project(QStringLiteral("long/oneline")),
                    "#Kestrel_Description:" + QByteArray(1 << 20, 'd') + "\r\nelement * /main/LATEST\r\n");
    {
        QFile big(site.project(QStringLiteral("long/huge")));
        ok = ok && big.open(QIODevice::WriteOnly);
        const QByteArray line = "element /vobs/app/... .../dev/LATEST -mkbranch dev   # a rule\r\n";
        ok = ok && big.write("#Kestrel_Description:" + QByteArray(25 << 20, 'h') + "\r\n") > 0;
        for (qint64 written = 0; ok && written < (25 << 20); written += line.size())
            ok = big.write(line) == line.size();
    }
    if (!ok) {
        std::fprintf(stderr, "long_template: cannot lay out the site\n");
        return;
    }
    frmMain *w = nullptr;
    const double without_s = load(site, QStringLiteral("plain"), &w);
    const double rss_before = resident_mb();
    const double with_s = load(site, QStringLiteral("long"), &w);
    const double one_line_s = select(w, QStringLiteral("benchuser__oneline"));
    const double huge_s = select(w, QStringLiteral("benchuser__huge"));
    const double rss_growth = resident_mb() - rss_before;
    std::printf("{\"bench\":\"long_template\",\"load_without_s\":%.3f,\"load_with_s\":%.3f,"
                "\"select_1mb_line_s\":%.3f,\"select_50mb_s\":%.3f,\"memory_added_mb\":%.1f}\n",
                without_s, with_s, one_line_s, huge_s, rss_growth);
    std::fflush(stdout);
}

QUILLON_BENCH(many_projects)
{
    constexpr int kProjects = 20000;
    BenchSite site("many_projects");
    QByteArray config = kConfig;
    for (int i = kProjects; i-- > 0;)
        config += "PROJECT=project_" + QByteArray::number(i) + "\r\n";
    if (!site.valid() || !write_file(site.path(QStringLiteral("program/qn.cfg")), config)) {
        std::fprintf(stderr, "many_projects: cannot lay out the site\n");
        return;
    }
    QElapsedTimer clock;
    clock.start();
    frmMain *w = site.open();
    const double start_s = seconds(clock);
    const int listed = w->findChild<QComboBox *>(QStringLiteral("projectCombo"))->count();
    std::printf("{\"bench\":\"many_projects\",\"projects\":%d,\"listed\":%d,\"start_s\":%.3f}\n", kProjects,
                listed, start_s);
    std::fflush(stdout);
}
