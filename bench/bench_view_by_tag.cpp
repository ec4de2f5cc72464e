// view_by_tag: 200 view-by-tag questions answered by the simulated cleartool
// with the costs of a real one, once through the co-process and once with
// one process per command.

#include "bench.h"
#include "bench_env.h"

#include "clearcase/clearcase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kQuestions = 200;
constexpr int kViews = 20;

double time_questions(CCSession &session, const QStringList &tags)
{
    ClearCaseApp app(session);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kQuestions; ++i) {
        const QString &tag = tags[i % tags.size()];
        try {
            if (app.View(tag).TagName() != tag)
                std::fprintf(stderr, "view_by_tag: wrong answer for %s\n", qPrintable(tag));
        } catch (const ClearCaseError &e) {
            std::fprintf(stderr, "view_by_tag: %s: %s\n", qPrintable(tag), e.what());
        }
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

QUILLON_BENCH(view_by_tag)
{
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "view_by_tag: no scratch directory\n");
        return;
    }
    ScopedEnv env;
    env.use_simulator(home.path());

    QStringList tags;
    {
        CCSession seeding;
        ClearTool tool(seeding);
        for (int i = 0; i < kViews; ++i) {
            const QString tag = QStringLiteral("bench_view_%1").arg(i);
            const QString storage = home.path() + QStringLiteral("/storage/") + tag + QStringLiteral(".vws");
            try {
                tool.CmdExec({QStringLiteral("mkview"), QStringLiteral("-tag"), tag, storage});
            } catch (const ClearCaseError &e) {
                std::fprintf(stderr, "view_by_tag: cannot make %s: %s\n", qPrintable(tag), e.what());
                return;
            }
            tags << tag;
        }
    }

    env.set("CCSIM_COST_START_MS", "150");
    env.set("CCSIM_COST_CMD_MS", "5");
    env.set("CCSIM_COST_TAG_MS", "1");

    double coprocess_s = 0;
    {
        CCSession session;
        coprocess_s = time_questions(session, tags);
    }
    CCSession per_process;
    per_process.setUseCoprocess(false);
    const double per_process_s = time_questions(per_process, tags);

    std::printf("{\"bench\":\"view_by_tag\",\"questions\":%d,\"coprocess_s\":%.3f,\"per_process_s\":%.3f}\n",
                kQuestions, coprocess_s, per_process_s);
}
