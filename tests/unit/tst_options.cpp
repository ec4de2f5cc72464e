// The command line before any window: help and version on standard output with status 0, mistakes on
// standard error with status 2, and the installed program answering them with no display at all.

#include "app/options.h"

#include <QProcess>
#include <QtTest>

class TestOptions : public QObject {
    Q_OBJECT

    static std::optional<EarlyExit> options(const QStringList &words)
    {
        return handleOptions(QStringList{"quillon"} + words);
    }

private slots:
    // Words after the configuration file are ignored, not refused.
    void starts_withNamesAndQtOptions()
    {
        for (const QStringList &words : {QStringList{},
                                         {"site.cfg"},
                                         {"my config.cfg", "x"},
                                         {"a.cfg", "b.cfg", "-style", "fusion", "c"},
                                         {"-platform", "offscreen", "site.cfg"},
                                         {"--style=fusion", "-reverse"},
                                         {"-"},
                                         {"--", "-x.cfg", "--frobnicate"},
                                         {"site.cfg", "--", "--"},
                                         {"-style", "fusion"}})
            QVERIFY2(!options(words), qPrintable(words.join(' ')));
    }

    void helpAndVersion_onStandardOutput()
    {
        const QString version = QStringLiteral("%1.%2.%3")
                                    .arg(QUILLON_VERSION_MAJOR)
                                    .arg(QUILLON_VERSION_MINOR)
                                    .arg(QUILLON_VERSION_PATCH);
        for (const QStringList &words : {QStringList{"--version"}, {"-v"}, {"site.cfg", "--version"}}) {
            const auto e = options(words);
            QVERIFY(e);
            QCOMPARE(e->status, 0);
            QCOMPARE(e->out, "Quillon " + version + "\n");
            QVERIFY(e->err.isEmpty());
        }
        // The help wins over mistakes that come after it, and names what a site needs to know.
        const auto help = options({"--help", "--frobnicate"});
        QVERIFY(help && help->status == 0 && help->err.isEmpty());
        for (const char *needed : {"Usage: quillon", "QUILLON_PROGRAM_DIR", "XDG_CONFIG_DIRS",
                                   "QT_LOGGING_RULES", "quillon.process", "quillon(1)"})
            QVERIFY2(help->out.contains(needed), needed);
        QCOMPARE(options({"-h"})->out, help->out);
    }

    void mistakes_status2_onStandardError()
    {
        const struct {
            QStringList words;
            const char *says;
        } cases[] = {
            {{"--frobnicate"}, "quillon: unknown option '--frobnicate'\n"},
            {{"-x", "site.cfg"}, "quillon: unknown option '-x'\n"},
            {{"site.cfg", "-style"}, "quillon: option '-style' needs a value\n"},
            {{"-reverse=yes"}, "quillon: option '-reverse=yes' takes no value\n"},
        };
        for (const auto &c : cases) {
            const auto e = options(c.words);
            QVERIFY2(e, c.says);
            QCOMPARE(e->status, 2);
            QVERIFY(e->out.isEmpty());
            QVERIFY2(e->err.startsWith(c.says), qPrintable(e->err));
            QVERIFY(e->err.contains("Try 'quillon --help'"));
        }
    }

    // The real program, with neither a display nor a platform plugin named: it answers and ends.
    void program_answersWithoutDisplay()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        const auto run = [&](const QStringList &args) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(qEnvironmentVariable("QUILLON_QUILLON_BIN"), args);
            if (!p.waitForFinished(30000))
                qFatal("quillon did not end");
            return std::tuple{p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                              QString::fromLocal8Bit(p.readAllStandardError())};
        };
        auto [status, out, err] = run({"--version"});
        QCOMPARE(status, 0);
        QVERIFY2(out.startsWith("Quillon ") && err.isEmpty(), qPrintable(out + err));
        std::tie(status, out, err) = run({"--help"});
        QVERIFY(status == 0 && out.startsWith("Usage: quillon"));
        std::tie(status, out, err) = run({"--frobnicate"});
        QCOMPARE(status, 2);
        QVERIFY2(out.isEmpty() && err.startsWith("quillon: unknown option '--frobnicate'"), qPrintable(err));
        // Starting for real without a display: one line, status 2, no abort. (Windows always has one.)
        if (QSysInfo::kernelType() == QLatin1String("winnt"))
            QSKIP("a Windows desktop always has a display");
        std::tie(status, out, err) = run({"--", "site.cfg"});
        QCOMPARE(status, 2);
        QCOMPARE(err, "quillon: cannot open a display (is DISPLAY or WAYLAND_DISPLAY set?)\n");
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
