// The ClearCase layer against the simulated cleartool: answers, errors, batch
// questions, the co-process's life and the one-process-per-command path.

#include "outside/clearcase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Counts {
    long long process_starts = -1;
    long long commands = -1;
    long long tags = -1;
};

} // namespace

class TestClearCaseLayer : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;

    QString home() const { return m_home->path(); }

    // Runs the simulator directly (not through the layer under test).
    QString sim(const QStringList &args, const QString &region = QStringLiteral("Windows"))
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CCSIM_REGION"), region);
        p.setProcessEnvironment(env);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral("cleartool"), args);
        if (!p.waitForFinished(60'000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            qWarning() << "cleartool" << args << "failed:" << p.readAllStandardError();
            return QString();
        }
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }

    bool make_view(const QString &tag, const QStringList &options = {},
                   const QString &region = QStringLiteral("Windows"))
    {
        const QString storage = home() + QStringLiteral("/stg/") + tag + QStringLiteral(".vws");
        const QStringList args = QStringList{QStringLiteral("mkview"), QStringLiteral("-tag"), tag} + options;
        return !sim(args + QStringList{storage}, region).isEmpty();
    }

    void set_knobs(const QByteArray &lines)
    {
        QFile f(home() + QStringLiteral("/knobs"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(lines);
    }

    void reset_counts()
    {
        QFile f(home() + QStringLiteral("/counters"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("process_starts=0 commands=0 tags=0\n");
    }

    // The simulator's counters ("process_starts=1 commands=2 tags=3").
    Counts counts()
    {
        QHash<QByteArray, long long> v;
        QFile f(home() + QStringLiteral("/counters"));
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray &pair : f.readAll().simplified().split(' '))
                v.insert(pair.left(pair.indexOf('=')), pair.mid(pair.indexOf('=') + 1).toLongLong());
        }
        return {v.value("process_starts", -1), v.value("commands", -1), v.value("tags", -1)};
    }

    // What the one-tag questions of the program say of a tag.
    struct Single {
        bool exists = false;
        bool active = false;
        ViewInfo info;
    };
    static Single ask_one_by_one(CCSession &session, const QString &tag)
    {
        Single s;
        try {
            s.info = ClearCaseApp(session).View(tag).info();
            s.exists = true;
        } catch (const ClearCaseError &) {
        }
        try {
            s.active = ClearTool(session).CmdExec(QStringLiteral("lsview ") + tag).contains(QLatin1Char('*'));
        } catch (const ClearCaseError &) {
        }
        return s;
    }

private slots:
    void initTestCase()
    {
        const QString sim_dir = QStringLiteral(QUILLON_SIM_BIN_DIR);
        QVERIFY2(QFile::exists(sim_dir + QStringLiteral("/cleartool")), qPrintable(sim_dir));
        if (!qgetenv("PATH").startsWith(QFile::encodeName(sim_dir)))
            qputenv("PATH", QFile::encodeName(sim_dir) + ':' + qgetenv("PATH"));
    }

    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        qputenv("CCSIM_HOME", QFile::encodeName(home()));
        qputenv("CCSIM_REGION", "Windows");
        for (const char *knob : {"CCSIM_COST_START_MS", "CCSIM_COST_CMD_MS", "CCSIM_COST_TAG_MS",
                                 "CCSIM_FAIL", "CCSIM_DIE", "CCSIM_CRLF"})
            qunsetenv(knob);
    }

    void viewTags_listsTheRegionInOrder_unknownRegionThrows()
    {
        QVERIFY(make_view(QStringLiteral("ann_b")));
        QVERIFY(make_view(QStringLiteral("ann_a")));
        QVERIFY(make_view(QStringLiteral("bob_unix"), {}, QStringLiteral("unix_rgn")));

        CCSession session;
        ClearCaseApp app(session);
        QCOMPARE(app.ViewTags(false, QStringLiteral("Windows")),
                 (QStringList{QStringLiteral("ann_b"), QStringLiteral("ann_a")}));
        QCOMPARE(app.ViewTags(true, QStringLiteral("unix_rgn")), QStringList{QStringLiteral("bob_unix")});
        for (const bool fail_on_error : {false, true}) {
            try {
                app.ViewTags(fail_on_error, QStringLiteral("no_such_rgn"));
                QFAIL("an unknown region was listed");
            } catch (const ClearCaseError &e) {
                QCOMPARE(e.description(), QStringLiteral("Unknown region \"no_such_rgn\"."));
            }
        }
    }

    void view_knownTags_flagsHostAndConfigSpec()
    {
        QVERIFY(make_view(QStringLiteral("ann_dyn"),
                          {QStringLiteral("-host"), QStringLiteral("vobhost7"), QStringLiteral("-tcomment"),
                           QStringLiteral("made for tests")}));
        QVERIFY(make_view(QStringLiteral("ann_snap"), {QStringLiteral("-snapshot")}));
        QVERIFY(make_view(QStringLiteral("ann_ucm"), {QStringLiteral("-snapshot"), QStringLiteral("-stream"),
                                                      QStringLiteral("s1@\\pvob")}));
        // A config spec whose last line has no line end: the co-process's
        // marker is glued to it.
        const QByteArray rules = "element * CHECKEDOUT\r\nelement * /main/LATEST";
        QFile file(home() + QStringLiteral("/cs.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rules);
        file.close();
        sim({QStringLiteral("setcs"), QStringLiteral("-tag"), QStringLiteral("ann_dyn"), file.fileName()});

        CCSession session;
        ClearCaseApp app(session);
        const CCView dyn = app.View(QStringLiteral("ann_dyn"));
        QCOMPARE(dyn.TagName(), QStringLiteral("ann_dyn"));
        QCOMPARE(dyn.Host(), QStringLiteral("vobhost7"));
        QCOMPARE(dyn.info().comment, QStringLiteral("made for tests"));
        QVERIFY(!dyn.IsSnapShot());
        QVERIFY(!dyn.IsUCMView());
        QCOMPARE(dyn.ConfigSpec(), QString::fromLatin1(rules));

        const CCView snap = app.View(QStringLiteral("ann_snap"));
        QVERIFY(snap.IsSnapShot());
        QVERIFY(!snap.IsUCMView());
        const CCView ucm = app.View(QStringLiteral("ann_ucm"));
        QVERIFY(ucm.IsSnapShot());
        QVERIFY(ucm.IsUCMView());
        QCOMPARE(snap.ConfigSpec(), QStringLiteral("element * CHECKEDOUT\nelement * /main/LATEST\n"));
    }

    void view_unknownTag_throwsCleartoolsText()
    {
        QVERIFY(make_view(QStringLiteral("ann_dyn")));
        CCSession session;
        ClearCaseApp app(session);
        try {
            app.View(QStringLiteral("Ann_Dyn"));
            QFAIL("a tag of another letter case was found");
        } catch (const ClearCaseError &e) {
            QCOMPARE(e.description(), QStringLiteral("No matching entries found for view tag \"Ann_Dyn\"."));
        }
        QVERIFY_THROWS_EXCEPTION(ClearCaseError, app.View(QString()));
    }

    void cmdExec_outputOnSuccess_errorTextOnFailure()
    {
        QVERIFY(make_view(QStringLiteral("ann_one")));
        CCSession session;
        ClearTool tool(session);
        QCOMPARE(tool.CmdExec(QStringLiteral("lsview -short")), QStringLiteral("ann_one\n"));
        try {
            tool.CmdExec(QStringLiteral("lsview -short ann_one nosuch1 nosuch2"));
            QFAIL("unknown tags did not fail");
        } catch (const ClearCaseError &e) {
            QCOMPARE(e.description(), QStringLiteral("No matching entries found for view tag \"nosuch1\".\r\n"
                                                     "No matching entries found for view tag \"nosuch2\"."));
        }
        // A failing command leaves the co-process answering.
        QVERIFY(tool.CmdExec(QStringLiteral("lsview ann_one")).contains(QStringLiteral("ann_one")));
        QCOMPARE(tool.CmdExec(QStringLiteral("rmview -tag ann_one")), QString());
        QVERIFY_THROWS_EXCEPTION(ClearCaseError, tool.CmdExec(QStringLiteral("lsview ann_one")));
    }

    // The batch questions give what one question per tag gives, in one
    // command each.
    void batch_equalsOneByOne_inOneCommand()
    {
        QVERIFY(make_view(QStringLiteral("ann_active")));
        QVERIFY(make_view(QStringLiteral("Ann_MixedCase")));
        QVERIFY(make_view(QStringLiteral("ann_snap"), {QStringLiteral("-snapshot")}));
        QVERIFY(make_view(QStringLiteral("ann_a_tag_longer_than_twenty")));
        QVERIFY(
            make_view(QStringLiteral("ann_stopped"), {QStringLiteral("-stream"), QStringLiteral("s@\\p")}));
        sim({QStringLiteral("endview"), QStringLiteral("ann_stopped"), QStringLiteral("Ann_MixedCase")});
        const QStringList tags = {
            QStringLiteral("ann_active"),    QStringLiteral("Ann_MixedCase"),
            QStringLiteral("ann_mixedcase"), QStringLiteral("ann_snap"),
            QStringLiteral("nosuch"),        QStringLiteral("ann_a_tag_longer_than_twenty"),
            QStringLiteral("ann_stopped")};

        CCSession session;
        reset_counts();
        const QHash<QString, ViewInfo> views = ClearCaseApp(session).LookupViews(tags);
        QCOMPARE(counts().commands, 1);
        const QSet<QString> active = ClearTool(session).ActiveByAsterisk(tags);
        QCOMPARE(counts().commands, 2);

        QStringList existing;
        for (const QString &tag : tags) {
            const Single one = ask_one_by_one(session, tag);
            QCOMPARE(views.contains(tag), one.exists);
            QCOMPARE(active.contains(tag), one.active);
            if (one.exists) {
                existing << tag;
                QCOMPARE(views[tag].snapshot, one.info.snapshot);
                QCOMPARE(views[tag].ucm, one.info.ucm);
                QCOMPARE(views[tag].server_host, one.info.server_host);
                QCOMPARE(views[tag].global_path, one.info.global_path);
            }
        }
        // The cases above are all there.
        QCOMPARE(existing.size(), 5);
        QCOMPARE(active, (QSet<QString>{QStringLiteral("ann_active"),
                                        QStringLiteral("ann_a_tag_longer_than_twenty")}));

        reset_counts();
        QVERIFY(ClearCaseApp(session).LookupViews({}).isEmpty());
        QVERIFY(ClearTool(session).ActiveByAsterisk({}).isEmpty());
        QCOMPARE(counts().commands, 0);
    }

    void batch_longTagList_isSplitIntoFewCommands()
    {
        QVERIFY(make_view(QStringLiteral("ann_known")));
        QStringList tags;
        for (int i = 0; i < 3000; ++i)
            tags << QStringLiteral("unknown_tag_number_%1").arg(i, 5, 10, QLatin1Char('0'));
        tags.insert(1500, QStringLiteral("ann_known"));

        CCSession session;
        reset_counts();
        const QHash<QString, ViewInfo> views = ClearCaseApp(session).LookupViews(tags);
        QCOMPARE(views.keys(), QStringList{QStringLiteral("ann_known")});
        QCOMPARE(counts().commands, 3); // 3001 tags of 25 characters: about 78 KB
        QCOMPARE(counts().tags, 3001);
    }

    void coprocess_oneProcessStartForManyCommands_fallbackOnePerCommand()
    {
        QVERIFY(make_view(QStringLiteral("ann_dyn")));
        reset_counts();
        {
            CCSession session;
            ClearCaseApp app(session);
            for (int i = 0; i < 10; ++i)
                QCOMPARE(app.View(QStringLiteral("ann_dyn")).TagName(), QStringLiteral("ann_dyn"));
            QCOMPARE(counts().process_starts, 1);
            QCOMPARE(counts().commands, 10);

            reset_counts();
            session.set_use_coprocess(false);
            for (int i = 0; i < 3; ++i)
                QCOMPARE(app.View(QStringLiteral("ann_dyn")).TagName(), QStringLiteral("ann_dyn"));
            QVERIFY_THROWS_EXCEPTION(ClearCaseError, app.View(QStringLiteral("nosuch")));
            QCOMPARE(counts().process_starts, 4);
            QCOMPARE(counts().commands, 4);
        }
    }

    // A cleartool that dies in the middle of a command: that question is
    // answered or fails cleanly, and the next one is answered.
    void coprocess_diesMidCommand_nextQuestionAnswered()
    {
        QVERIFY(make_view(QStringLiteral("ann_dyn"), {QStringLiteral("-snapshot")}));
        CCSession session;
        ClearCaseApp app(session);
        QVERIFY(app.View(QStringLiteral("ann_dyn")).IsSnapShot()); // the co-process runs
        reset_counts();
        set_knobs("CCSIM_DIE=lsview\n");
        try {
            QVERIFY(app.View(QStringLiteral("ann_dyn")).IsSnapShot());
        } catch (const ClearCaseError &e) {
            QVERIFY(!e.description().isEmpty());
        }
        QCOMPARE(counts().process_starts, 1); // the process of its own
        set_knobs("");
        QVERIFY(app.View(QStringLiteral("ann_dyn")).IsSnapShot());
        QCOMPARE(ClearTool(session).CmdExec(QStringLiteral("lsview -short")), QStringLiteral("ann_dyn\n"));
        QCOMPARE(counts().process_starts, 2); // and a new co-process
    }

    // A cleartool that stops answering is killed when the answer timeout
    // runs out: the question fails cleanly and the next one is answered.
    void coprocess_hangs_killedAndNextQuestionAnswered()
    {
        QVERIFY(make_view(QStringLiteral("ann_dyn")));
        CCSession session;
        ClearCaseApp app(session);
        QCOMPARE(app.View(QStringLiteral("ann_dyn")).TagName(), QStringLiteral("ann_dyn"));
        reset_counts();
        set_knobs("CCSIM_COST_CMD_MS=4000\n");
        session.set_answer_timeout(1000);
        try {
            app.View(QStringLiteral("ann_dyn"));
            QFAIL("a hung cleartool gave an answer");
        } catch (const ClearCaseError &e) {
            QVERIFY2(e.description().startsWith(QStringLiteral("cleartool did not answer")),
                     qPrintable(e.description()));
        }
        set_knobs("");
        session.set_answer_timeout(120'000);
        QCOMPARE(app.View(QStringLiteral("ann_dyn")).TagName(), QStringLiteral("ann_dyn"));
        QCOMPARE(counts().process_starts, 2); // the process of its own, then a new co-process
    }

    void noCleartool_commandsFailCleanly()
    {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(home() + QStringLiteral("/empty")));
        CCSession session;
        const CommandResult result = session.run(QStringLiteral("lsview -short"));
        qputenv("PATH", path);
        QVERIFY(result.status != 0);
        QCOMPARE(result.errors.size(), 1);
        // With the program back on the path the same session answers.
        QVERIFY(make_view(QStringLiteral("ann_dyn")));
        QCOMPARE(session.run(QStringLiteral("lsview -short")).output, QStringLiteral("ann_dyn\n"));
    }

    void viewTags_hundredThousandTags_oneCommand_failedListingThrows()
    {
        QByteArray lines;
        for (int i = 0; i < 100000; ++i)
            lines += "Windows|user_view_" + QByteArray::number(i) + "|\\\\vobhost1\\views\\v" +
                     QByteArray::number(i) + ".vws|vobhost1|dynamic|DOM\\user\n";
        QFile file(home() + QStringLiteral("/import.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lines);
        file.close();
        sim({QStringLiteral("-sim-import"), file.fileName()});

        CCSession session;
        ClearCaseApp app(session);
        reset_counts();
        const QStringList tags = app.ViewTags(false, QStringLiteral("Windows"));
        QCOMPARE(tags.size(), 100000);
        QCOMPARE(tags.first(), QStringLiteral("user_view_0"));
        QCOMPARE(tags.last(), QStringLiteral("user_view_99999"));
        QCOMPARE(counts().commands, 1);

        set_knobs("CCSIM_FAIL=lsview\n");
        for (const bool fail_on_error : {false, true}) {
            try {
                app.ViewTags(fail_on_error, QStringLiteral("Windows"));
                QFAIL("a failed listing gave tags");
            } catch (const ClearCaseError &e) {
                QCOMPARE(e.description(), QStringLiteral("Simulated failure of lsview."));
            }
        }
    }

    void crlfOutput_parsedLikeLf()
    {
        QVERIFY(make_view(QStringLiteral("ann_snap"), {QStringLiteral("-snapshot")}));
        QVERIFY(make_view(QStringLiteral("ann_dyn")));
        set_knobs("CCSIM_CRLF=1\n");
        CCSession session;
        ClearCaseApp app(session);
        QCOMPARE(app.ViewTags(true, QStringLiteral("Windows")),
                 (QStringList{QStringLiteral("ann_snap"), QStringLiteral("ann_dyn")}));
        QVERIFY(app.View(QStringLiteral("ann_snap")).IsSnapShot());
        QCOMPARE(ClearTool(session).ActiveByAsterisk({QStringLiteral("ann_snap"), QStringLiteral("ann_dyn")}),
                 QSet<QString>{QStringLiteral("ann_dyn")});
    }
};

QTEST_GUILESS_MAIN(TestClearCaseLayer)
#include "tst_clearcase_layer.moc"
