// The ClearCase layer against the simulated cleartool: answers, errors, batch
// questions, the co-process's life and the one-process-per-command path.

#include "outside/clearcase.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

class TestClearCaseLayer : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;

    // Runs the simulator directly (not through the layer under test).
    static bool sim(const QStringList &args)
    {
        QProcess p;
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(u"cleartool"_s, args);
        return p.waitForFinished(60'000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    bool make_view(const QString &tag, const QStringList &options = {})
    {
        return sim(QStringList{u"mkview"_s, u"-tag"_s, tag} + options + QStringList{m_home->filePath(tag)});
    }

    // Writes a file of the simulator's home: "knobs", "counters", inputs.
    QString put(const QString &name, const QByteArray &data)
    {
        QFile f(m_home->filePath(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
            qFatal("cannot write %s", qPrintable(f.fileName()));
        return f.fileName();
    }
    void reset_counts() { put(u"counters"_s, "process_starts=0 commands=0 tags=0\n"); }

    // One of the simulator's counters ("process_starts=1 commands=2 tags=3").
    long long count(const QByteArray &name)
    {
        QFile f(m_home->filePath(u"counters"_s));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &pair : f.readAll().simplified().split(' '))
                if (const QList<QByteArray> kv = pair.split('='); kv.value(0) == name)
                    return kv.value(1).toLongLong();
        return -1;
    }

    static void expect_error(const std::function<void()> &call, const QString &text)
    {
        try {
            call();
            QFAIL("no ClearCaseError");
        } catch (const ClearCaseError &e) {
            QCOMPARE(e.description(), text);
        }
    }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        qputenv("CCSIM_HOME", QFile::encodeName(m_home->path()));
        qputenv("CCSIM_REGION", "Windows");
        for (const char *knob : {"CCSIM_COST_START_MS", "CCSIM_COST_CMD_MS", "CCSIM_COST_TAG_MS",
                                 "CCSIM_FAIL", "CCSIM_DIE", "CCSIM_CRLF"})
            qunsetenv(knob);
    }

    void viewTags_ofRegionInOrder_oneCommand_failuresThrow()
    {
        QVERIFY(make_view(u"ann_b"_s));
        QVERIFY(make_view(u"ann_a"_s));
        QByteArray lines;
        for (int i = 0; i < 100000; ++i)
            lines += "Big|user_view_" + QByteArray::number(i) + "|\\\\vobhost1\\views\\v" +
                     QByteArray::number(i) + ".vws|vobhost1|dynamic|DOM\\user\n";
        QVERIFY(sim({u"-sim-import"_s, put(u"import.txt"_s, lines)}));

        CCSession session;
        ClearCaseApp app(session);
        QCOMPARE(app.ViewTags(true, u"Windows"_s), (QStringList{u"ann_b"_s, u"ann_a"_s}));
        reset_counts();
        const QStringList tags = app.ViewTags(false, u"Big"_s);
        QCOMPARE(count("commands"), 1);
        QCOMPARE(tags.size(), 100000);
        QCOMPARE(tags.last(), u"user_view_99999"_s);
        for (const bool fail_on_error : {false, true}) {
            expect_error([&] { app.ViewTags(fail_on_error, u"no_such_rgn"_s); },
                         u"Unknown region \"no_such_rgn\"."_s);
            put(u"knobs"_s, "CCSIM_FAIL=lsview\n");
            expect_error([&] { app.ViewTags(fail_on_error, u"Big"_s); }, u"Simulated failure of lsview."_s);
            put(u"knobs"_s, "");
        }
    }

    void view_knownTags_flagsHostAndRules_unknownTagThrows_cmdExec()
    {
        QVERIFY(make_view(u"ann_dyn"_s, {u"-host"_s, u"vobhost7"_s, u"-tcomment"_s, u"made for tests"_s}));
        QVERIFY(make_view(u"ann_snap"_s, {u"-snapshot"_s}));
        QVERIFY(make_view(u"ann_ucm"_s, {u"-snapshot"_s, u"-stream"_s, u"s1@\\pvob"_s}));
        // The last line has no line end: the co-process's marker is glued to it.
        const QByteArray rules = "element * CHECKEDOUT\r\nelement * /main/LATEST";
        QVERIFY(sim({u"setcs"_s, u"-tag"_s, u"ann_dyn"_s, put(u"cs.txt"_s, rules)}));

        CCSession session;
        ClearCaseApp app(session);
        const CCView dyn = app.View(u"ann_dyn"_s);
        QCOMPARE((QStringList{dyn.TagName(), dyn.Host(), dyn.info().comment, dyn.ConfigSpec()}),
                 (QStringList{u"ann_dyn"_s, u"vobhost7"_s, u"made for tests"_s, QString::fromLatin1(rules)}));
        QCOMPARE(app.View(u"ann_snap"_s).ConfigSpec(), u"element * CHECKEDOUT\nelement * /main/LATEST\n"_s);
        QString kinds; // snapshot and UCM flags of each
        for (const QString &tag : {u"ann_dyn"_s, u"ann_snap"_s, u"ann_ucm"_s})
            kinds += u"%1%2 "_s.arg(app.View(tag).IsSnapShot()).arg(app.View(tag).IsUCMView());
        QCOMPARE(kinds, u"00 10 11 "_s);
        expect_error([&] { app.View(u"Ann_Dyn"_s); },
                     u"No matching entries found for view tag \"Ann_Dyn\"."_s);
        QVERIFY_THROWS_EXCEPTION(ClearCaseError, app.View(QString()));

        ClearTool tool(session);
        QCOMPARE(tool.CmdExec(u"lsview -short ann_snap"_s), u"ann_snap\n"_s);
        expect_error([&] { tool.CmdExec(u"lsview -short ann_snap nosuch1 nosuch2"_s); },
                     u"No matching entries found for view tag \"nosuch1\".\r\n"
                     "No matching entries found for view tag \"nosuch2\"."_s);
        QCOMPARE(tool.CmdExec(u"rmview -tag ann_snap"_s), QString());
        QVERIFY_THROWS_EXCEPTION(ClearCaseError, tool.CmdExec(u"lsview ann_snap"_s));
    }

    // The batch questions give what one question per tag gives, in one
    // command each (a very long list in a few).
    void batch_equalsOneByOne_inOneCommand()
    {
        QVERIFY(make_view(u"ann_active"_s));
        QVERIFY(make_view(u"Ann_MixedCase"_s));
        QVERIFY(make_view(u"ann_snap"_s, {u"-snapshot"_s}));
        QVERIFY(make_view(u"ann_a_tag_longer_than_twenty"_s));
        QVERIFY(make_view(u"ann_stopped"_s, {u"-stream"_s, u"s@\\p"_s}));
        QVERIFY(sim({u"endview"_s, u"ann_stopped"_s, u"Ann_MixedCase"_s}));
        const QStringList tags = {u"ann_active"_s, u"Ann_MixedCase"_s, u"ann_mixedcase"_s,
                                  u"ann_snap"_s,   u"nosuch"_s,        u"ann_a_tag_longer_than_twenty"_s,
                                  u"ann_stopped"_s};

        CCSession session;
        reset_counts();
        const QHash<QString, ViewInfo> views = ClearCaseApp(session).LookupViews(tags);
        QCOMPARE(count("commands"), 1);
        const QSet<QString> active = ClearTool(session).ActiveByAsterisk(tags);
        QCOMPARE(count("commands"), 2);
        QCOMPARE(views.size(), 5);
        QCOMPARE(active, (QSet<QString>{u"ann_active"_s, u"ann_a_tag_longer_than_twenty"_s}));
        for (const QString &tag : tags) {
            try {
                const ViewInfo one = ClearCaseApp(session).View(tag).info();
                QVERIFY2(views.contains(tag), qPrintable(tag));
                QCOMPARE(views[tag].snapshot, one.snapshot);
                QCOMPARE(views[tag].ucm, one.ucm);
                QCOMPARE(views[tag].server_host, one.server_host);
                QCOMPARE(views[tag].global_path, one.global_path);
                QCOMPARE(active.contains(tag),
                         ClearTool(session).CmdExec(u"lsview "_s + tag).contains(QLatin1Char('*')));
            } catch (const ClearCaseError &) {
                QVERIFY2(!views.contains(tag) && !active.contains(tag), qPrintable(tag));
            }
        }

        reset_counts();
        QVERIFY(ClearCaseApp(session).LookupViews({}).isEmpty());
        QVERIFY(ClearTool(session).ActiveByAsterisk({}).isEmpty());
        QCOMPARE(count("commands"), 0);

        QStringList many;
        for (int i = 0; i < 3000; ++i)
            many << u"unknown_tag_number_%1"_s.arg(i, 5, 10, QLatin1Char('0'));
        many.insert(1500, u"ann_snap"_s);
        QCOMPARE(ClearCaseApp(session).LookupViews(many).keys(), QStringList{u"ann_snap"_s});
        QCOMPARE(count("commands"), 3); // 3001 tags of 25 characters: about 78 KB
        QCOMPARE(count("tags"), 3001);
    }

    // One co-process answers many questions; a cleartool that dies mid-command
    // or hangs past the answer timeout costs that question only; without the
    // co-process every command is a process of its own.
    void coprocess_oneStartForMany_survivesDeathAndHang_fallback()
    {
        QVERIFY(make_view(u"ann_dyn"_s, {u"-snapshot"_s}));
        CCSession session;
        ClearCaseApp app(session);
        reset_counts();
        for (int i = 0; i < 10; ++i)
            QVERIFY(app.View(u"ann_dyn"_s).IsSnapShot());
        QCOMPARE(count("process_starts"), 1);
        QCOMPARE(count("commands"), 10);

        reset_counts();
        put(u"knobs"_s, "CCSIM_DIE=lsview\n");
        try {
            QVERIFY(app.View(u"ann_dyn"_s).IsSnapShot());
        } catch (const ClearCaseError &e) {
            QVERIFY(!e.description().isEmpty());
        }
        put(u"knobs"_s, "");
        QVERIFY(app.View(u"ann_dyn"_s).IsSnapShot());
        QCOMPARE(count("process_starts"), 2); // a process of its own, then a new co-process

        put(u"knobs"_s, "CCSIM_COST_CMD_MS=4000\n");
        session.set_answer_timeout(1000);
        try {
            app.View(u"ann_dyn"_s);
            QFAIL("a hung cleartool gave an answer");
        } catch (const ClearCaseError &e) {
            QVERIFY2(e.description().startsWith(u"cleartool did not answer"_s), qPrintable(e.description()));
        }
        put(u"knobs"_s, "");
        session.set_answer_timeout(120'000);
        QVERIFY(app.View(u"ann_dyn"_s).IsSnapShot());
        QCOMPARE(count("process_starts"), 4);

        reset_counts();
        session.set_use_coprocess(false);
        for (int i = 0; i < 3; ++i)
            QVERIFY(app.View(u"ann_dyn"_s).IsSnapShot());
        QVERIFY_THROWS_EXCEPTION(ClearCaseError, app.View(u"nosuch"_s));
        QCOMPARE(count("process_starts"), 4);
        QCOMPARE(count("commands"), 4);
    }

    void noCleartool_commandsFailCleanly_crlfOutputParsedLikeLf()
    {
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_home->filePath(u"empty"_s)));
        CCSession session;
        const CommandResult result = session.run(u"lsview -short"_s);
        qputenv("PATH", path);
        QVERIFY(result.status != 0);
        QCOMPARE(result.errors.size(), 1);

        // With the program back on the path the same session answers.
        QVERIFY(make_view(u"ann_snap"_s, {u"-snapshot"_s}));
        QVERIFY(make_view(u"ann_dyn"_s));
        put(u"knobs"_s, "CCSIM_CRLF=1\n");
        ClearCaseApp app(session);
        QCOMPARE(app.ViewTags(true, u"Windows"_s), (QStringList{u"ann_snap"_s, u"ann_dyn"_s}));
        QVERIFY(app.View(u"ann_snap"_s).IsSnapShot());
        QCOMPARE(ClearTool(session).ActiveByAsterisk({u"ann_snap"_s, u"ann_dyn"_s}),
                 QSet<QString>{u"ann_dyn"_s});
    }
};

QTEST_GUILESS_MAIN(TestClearCaseLayer)
#include "tst_clearcase_layer.moc"
