#pragma once

// A site laid out in a scratch folder for the benchmarks that open the main
// window: the environment points the program at it, the simulator first on
// PATH, message boxes answered at once and printed.

#include "bench_env.h"

#include "app/mainModule.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"

#include <QComboBox>
#include <QTemporaryDir>

class BenchSite {
public:
    explicit BenchSite(const char *bench) : m_bench(bench)
    {
        m_env.use_simulator(path(QStringLiteral("ccsim")));
        m_env.set("QUILLON_PROGRAM_DIR", path(QStringLiteral("program")).toLocal8Bit());
        m_env.set("QUILLON_UNC_ROOT", path(QStringLiteral("unc")).toLocal8Bit());
        m_env.set("USER", "benchuser");
        m_env.set("USERNAME", "benchuser"); // Windows' name for it
        m_env.set("CLEARCASE_PRIMARY_GROUP", QByteArray());
        print_messages(bench);
    }
    ~BenchSite()
    {
        AppGlobals().unloadAll();
        setMessageHandler({});
    }
    BenchSite(const BenchSite &) = delete;
    BenchSite &operator=(const BenchSite &) = delete;

    bool valid() const { return m_dir.isValid(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    // A project's template folder on the share.
    QString project(const QString &name) const
    {
        return path(QStringLiteral("unc/vobhost/ccstorage/utils/kestrel/config/") + name);
    }
    ScopedEnv &env() { return m_env; }

    // A main window as the program brings it up (not shown); the one before
    // goes.
    frmMain *open()
    {
        AppGlobalsData &g = AppGlobals();
        g.unloadAll();
        g.tag_user.clear();
        g.unix_user.clear();
        g.view_templates.clear();
        g.config = ConfigRecord();
        return loadMainWindow(QStringLiteral("qn.cfg"));
    }

    // Chooses a project as the user does; returns when its load is done.
    static void pick(frmMain *w, const QString &project)
    {
        auto *combo = w->findChild<QComboBox *>(QStringLiteral("projectCombo"));
        const int index = combo->findText(project);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

private:
    const char *m_bench;
    QTemporaryDir m_dir;
    ScopedEnv m_env;
};
