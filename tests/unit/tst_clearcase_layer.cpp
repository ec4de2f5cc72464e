// The ClearCase layer against the simulated cleartool.

#include "base/command_log.h"
#include "clearcase/clearcase.h"
#include "support/site.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

class TestClearCaseLayer : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;

    // Runs the simulator directly, not through the layer under test.
    static bool sim(const QStringList &args, QString *out = nullptr)
    {
        QProcess p;
        p.start(u"cleartool"_s, args);
        const bool ok =
            p.waitForFinished(60'000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (out)
            *out = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
        return ok;
    }
    static QString counters()
    {
        QString c;
        sim({u"-sim-counters"_s}, &c);
        return c;
    }
    bool make_view(const QString &tag, const QStringList &options = {})
    {
        return sim(QStringList{u"mkview"_s, u"-tag"_s, tag} + options + QStringList{m_home->filePath(tag)});
    }
    // Writes a file of the simulator's home: "knobs" or an input.
    QString put(const QString &name, const QByteArray &data)
    {
        writeFile(m_home->filePath(name), data);
        return m_home->filePath(name);
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
        qputenv("CCSIM_HOME", QFile::encodeName(m_home->path()));
        qputenv("CCSIM_REGION", "Windows");
    }

    // (Each command in the command log with its status and first error: tst_view_care.)
    void viewTags_view()
    {
        QVERIFY(make_view(u"ann_dyn"_s, {u"-host"_s, u"vobhost7"_s, u"-tcomment"_s, u"made for tests"_s}));
        QVERIFY(make_view(u"ann_snap"_s, {u"-snapshot"_s}));
        QVERIFY(make_view(u"ann_ucm"_s, {u"-snapshot"_s, u"-stream"_s, u"s1@\\pvob"_s}));
        // An answer ends at the marker of the command just sent, and only at the end of what cleartool
        // wrote: the look-alikes of the first command's markers come back whole, and the last line,
        // without a line end, has the co-process's marker glued to it; the answers after it are their own.
        const QByteArray rules = "element * CHECKEDOUT\r\n# Command 1 returned status 0\n"
                                 "element * /x # Command 2 returned status 1\n#Command 1 returned status 0\n"
                                 "element * /main/LATEST";
        QVERIFY(sim({u"setcs"_s, u"-tag"_s, u"ann_dyn"_s, put(u"cs.txt"_s, rules)}));

        CCSession session;
        QCOMPARE(ClearTool(session).CmdExec({u"catcs"_s, u"-tag"_s, u"ann_dyn"_s}),
                 QString::fromLatin1(rules));
        ClearCaseApp app(session);
        QCOMPARE(app.viewTags(true, u"Windows"_s), (QStringList{u"ann_dyn"_s, u"ann_snap"_s, u"ann_ucm"_s}));
        expect_error([&] { app.viewTags(true, u"no_such_rgn"_s); }, u"Unknown region \"no_such_rgn\"."_s);
        const CCView dyn = app.View(u"ann_dyn"_s);
        QCOMPARE((QStringList{dyn.TagName(), dyn.Host(), dyn.info().comment, dyn.ConfigSpec()}),
                 (QStringList{u"ann_dyn"_s, u"vobhost7"_s, u"made for tests"_s, QString::fromLatin1(rules)}));
        QString kinds; // snapshot and UCM flags of each
        for (const QString &tag : {u"ann_dyn"_s, u"ann_snap"_s, u"ann_ucm"_s})
            kinds += u"%1%2 "_s.arg(app.View(tag).IsSnapShot()).arg(app.View(tag).IsUCMView());
        QCOMPARE(kinds, u"00 10 11 "_s);
        expect_error([&] { app.View(u"Ann_Dyn"_s); },
                     u"No matching entries found for view tag \"Ann_Dyn\"."_s);
    }

    // The batch questions give what one question per tag gives, in one command each.
    void batch_equalsOneByOne_inOneCommand()
    {
        QVERIFY(make_view(u"ann_active"_s));
        QVERIFY(make_view(u"Ann_MixedCase"_s, {u"-snapshot"_s}));
        QVERIFY(make_view(u"ann_stopped"_s, {u"-stream"_s, u"s@\\p"_s}));
        QVERIFY(sim({u"endview"_s, u"ann_stopped"_s}));
        const QStringList tags = {u"ann_active"_s, u"Ann_MixedCase"_s, u"ann_mixedcase"_s, u"nosuch"_s,
                                  u"ann_stopped"_s};

        CCSession session;
        sim({u"-sim-reset-counters"_s});
        const QHash<QString, ViewInfo> views = ClearCaseApp(session).lookupViews(tags);
        QCOMPARE(counters(), u"process_starts=1 commands=1 tags=5"_s);
        const QSet<QString> active = ClearTool(session).activeTags(tags);
        QCOMPARE(counters(), u"process_starts=1 commands=2 tags=10"_s);
        QCOMPARE(views.size(), 3);
        QCOMPARE(active, QSet<QString>{u"ann_active"_s});
        for (const QString &tag : tags) {
            try {
                const ViewInfo one = ClearCaseApp(session).View(tag).info();
                QVERIFY2(views.contains(tag), qPrintable(tag));
                QCOMPARE((QList{views[tag].snapshot, views[tag].ucm}), (QList{one.snapshot, one.ucm}));
                QCOMPARE(views[tag].globalPath, one.globalPath);
                QCOMPARE(active.contains(tag),
                         ClearTool(session).CmdExec({u"lsview"_s, tag}).contains(QLatin1Char('*')));
            } catch (const ClearCaseError &) {
                QVERIFY2(!views.contains(tag) && !active.contains(tag), qPrintable(tag));
            }
        }
    }

    // One co-process answers many questions; one dying mid-command costs that question only;
    // without the co-process every command is a process of its own.
    void coprocess_oneStartForMany_survivesDeath_fallback()
    {
        QVERIFY(make_view(u"ann_dyn"_s, {u"-snapshot"_s}));
        CCSession session;
        ClearCaseApp app(session);
        sim({u"-sim-reset-counters"_s});
        for (int i = 0; i < 10; ++i)
            QVERIFY(app.View(u"ann_dyn"_s).IsSnapShot());
        QCOMPARE(counters(), u"process_starts=1 commands=10 tags=10"_s);

        put(u"knobs"_s, "CCSIM_DIE=lsview\n");
        QVERIFY_THROWS_EXCEPTION(ClearCaseError, app.View(u"ann_dyn"_s));
        put(u"knobs"_s, "");
        QVERIFY(app.View(u"ann_dyn"_s).IsSnapShot());

        sim({u"-sim-reset-counters"_s});
        session.setUseCoprocess(false);
        for (int i = 0; i < 3; ++i)
            QVERIFY(app.View(u"ann_dyn"_s).IsSnapShot());
        QVERIFY_THROWS_EXCEPTION(ClearCaseError, app.View(u"nosuch"_s));
        QCOMPARE(counters(), u"process_starts=4 commands=4 tags=4"_s);
    }

    // A stand-in co-process: a status out of range is a failure, an error line with nothing after its
    // prefix is kept whole, a hung cleartool is given up after the timeout once per action, and the
    // window's events run while it is waited for.
    void coprocessFaults_statusRange_bareError_hangOncePerAction()
    {
        const StandInPath bin;
        childProgram(
            bin.dir(), u"cleartool"_s,
            {u"die-if=lskill"_s, u"on=lsbig:Command %n returned status 99999999999"_s,
             u"on=lsneg:Command %n returned status -1"_s, u"on=ls256:Command %n returned status 256"_s,
             u"on=lsbare:cleartool: Error:|Command %n returned status 1"_s, u"on=lshang:hang"_s,
             u"on=quillon-end-:cleartool: Error: Unrecognized command: \"%l\"|Command %n returned status 1"_s,
             u"on=:fine|Command %n returned status 0"_s, u"serve"_s});

        CCSession session;
        ClearTool tool(session);
        expect_error([&] { tool.CmdExec({u"lsbig"_s}); },
                     u"cleartool reported the status 99999999999, which is not a status."_s);
        expect_error([&] { tool.CmdExec({u"lsbare"_s}); }, u"cleartool: Error:"_s);
        // Odd statuses are kept as reported, never read as success; a signal is named.
        commandlog::clear();
        expect_error([&] { tool.CmdExec({u"lsneg"_s}); }, u"cleartool returned status -1"_s);
        expect_error([&] { tool.CmdExec({u"ls256"_s}); }, u"cleartool returned status 256"_s);
        const bool bySignal = QSysInfo::kernelType() != u"winnt"_s; // no signal ends a Windows program
        if (bySignal) {
            session.setUseCoprocess(false);
            expect_error([&] { tool.CmdExec({u"lskill"_s}); }, u"cleartool ended by signal 9: lskill"_s);
            session.setUseCoprocess(true);
        }
        const auto &odd = commandlog::entries();
        QCOMPARE(odd.size(), size_t(bySignal ? 3 : 2));
        QVERIFY(odd[0].exitCode == -1 && !odd[0].crashed && !odd[0].noStatus && odd[0].failed());
        QVERIFY(odd[1].exitCode == 256 && odd[1].failed());
        if (bySignal) {
            QVERIFY(odd[2].crashed && odd[2].signal == 9 && odd[2].failed());
            QVERIFY2(odd[2].outcome().startsWith(u"ended by signal 9 after"_s), qPrintable(odd[2].outcome()));
        }
        QCOMPARE(tool.CmdExec({u"lsview"_s}).remove(u'\r'), u"fine\n"_s); // CR LF from a Windows cleartool

        session.setAnswerTimeout(2000);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        QElapsedTimer clock;
        clock.start();
        {
            CCSession::Action action(session);
            for (int i = 0; i < 3; ++i) {
                const CommandResult r = session.run({u"lshang"_s});
                QVERIFY(r.timedOut);
                QCOMPARE(r.errors, QStringList{u"cleartool did not answer within 2 seconds."_s});
            }
        }
        const qint64 held = clock.elapsed();
        QVERIFY2(held >= 1900 && held < 5000, qPrintable(QString::number(held))); // one timeout, not three
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        session.setAnswerTimeout(60000); // a busy machine may take a while to start the next one
        QCOMPARE(tool.CmdExec({u"lsview"_s}).remove(u'\r'),
                 u"fine\n"_s); // a new co-process for the next action
    }
};

QTEST_GUILESS_MAIN(TestClearCaseLayer)
#include "tst_clearcase_layer.moc"
