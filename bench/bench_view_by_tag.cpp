// view_by_tag: 200 view-by-tag questions answered by the simulated cleartool
// with the costs of a real one, once through the co-process and once with
// one process per command.

#include "bench.h"

#include "outside/clearcase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

namespace {

constexpr int kQuestions = 200;
constexpr int kViews = 20;

// Sets environment variables for the benchmark's life and puts the old values
// back afterwards.
class ScopedEnv {
public:
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

private:
    QMap<QByteArray, std::optional<QByteArray>> m_saved;
};

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
    env.set("PATH", QByteArray(QUILLON_SIM_BIN_DIR) + ':' + qgetenv("PATH"));
    env.set("CCSIM_HOME", QFile::encodeName(home.path()));
    env.set("CCSIM_REGION", "Windows");
    for (const char *knob : {"CCSIM_COST_START_MS", "CCSIM_COST_CMD_MS", "CCSIM_COST_TAG_MS", "CCSIM_FAIL",
                             "CCSIM_DIE", "CCSIM_CRLF"})
        env.set(knob, QByteArray());

    QStringList tags;
    {
        CCSession seeding;
        ClearTool tool(seeding);
        for (int i = 0; i < kViews; ++i) {
            const QString tag = QStringLiteral("bench_view_%1").arg(i);
            const QString storage = home.path() + QStringLiteral("/storage/") + tag + QStringLiteral(".vws");
            try {
                tool.CmdExec(QStringLiteral("mkview -tag ") + tag + QLatin1Char(' ') + storage);
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
    per_process.set_use_coprocess(false);
    const double per_process_s = time_questions(per_process, tags);

    std::printf("{\"bench\":\"view_by_tag\",\"questions\":%d,\"coprocess_s\":%.3f,\"per_process_s\":%.3f}\n",
                kQuestions, coprocess_s, per_process_s);
}
