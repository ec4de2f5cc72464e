// The Kestrel runs of a view creation without a window, against the Kestrel stand-in and an SSH
// client stand-in: what is reported, in order, for a local run, a remote run, and the results that
// do not count (an output file left from before, a last line that is no tag, an empty one); the
// reader of the last line (gcsv).

#include "base/platform.h"
#include "kestrel/creation.h"
#include "kestrel/ssh_client.h"
#include "support/site.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
// What the creation reported, one line each, in order.
class Recorder : public CreationReport {
public:
    QStringList said;
    void progress(const QString &m) override { said << u"progress|"_s + m; }
    void notStarted(const QString &t) override { said << u"notStarted|"_s + t; }
    void resultProblem(const QString &t) override { said << u"result|"_s + t; }
    void unreadable(const QString &t) override { said << u"unreadable|"_s + t; }
    void failed(const QString &t) override { said << u"failed|"_s + t.section(u"\r\n"_s, 0, 1); }
};

QString backslashed(QString s)
{
    return s.replace(u'/', u'\\');
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
} // namespace

class TestCreation : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> site;
    QString home; // Kestrel's home, reached by the same path from here and "on the host"
    kestrel::Request r;

    QString out() const { return home + u"/_work/jdoe.out"_s; }

private slots:
    void init()
    {
        SKIP_UNLESS_SHELL_SCRIPTS_RUN();
        site = std::make_unique<TestSite>(u"jdoe"_s);
        home = site->root() + u"/unix/kestrel"_s;
        QVERIFY(QDir().mkpath(home + u"/config/r6000"_s) && QDir().mkpath(site->root() + u"/views"_s));
        QVERIFY(QFile::copy(QUILLON_SIM_BIN_DIR "/kestrel", home + u"/kestrel"_s));
        write(
            home + u"/kestrel.conf"_s,
            "KESTREL_CLEARTOOL=" QUILLON_SIM_BIN_DIR "/cleartool\nCCSIM_HOME=" + site->root().toLocal8Bit() +
                "/ccsim\nCCSIM_REGION=ccase_unix\nKESTREL_STORAGE=" + site->root().toLocal8Bit() +
                "/views\nKESTREL_VIEW_HOST=vobhost\n");
        write(home + u"/config/r6000/dev"_s, "element * /main/LATEST\n");
        writeSshStandIn(site->root() + u"/ssh"_s, true, site->root() + u"/ssh"_s);
        site->cleartool({u"-sim-mkregion"_s, u"ccase_unix"_s});
        // The host's share is this machine's whole disk.
        QVERIFY(QDir(site->share(QString())).removeRecursively());
        QVERIFY(QFile::link(u"/"_s, site->root() + u"/unc/vobhost"_s));
        r = kestrel::Request{};
        r.host = u"vobhost"_s;
        r.kestrelHome = backslashed(home);
        r.kestrel = u"kestrel"_s;
        r.kestrelConfig = backslashed(home) + u"\\config"_s;
        r.sshCmdPath = site->root() + u"/ssh"_s;
        r.useSsh = u"false"_s;
        r.viewStorage = u"\\\\vobhost\\views"_s;
        r.vobServer = u"unixbox"_s;
        r.project = u"r6000"_s;
        r.unixUser = r.tagUser = u"jdoe"_s;
        r.templateFile = u"dev"_s;
        r.templateTag = u"jdoe__dev"_s;
        r.password = u"pw"_s;
    }
    void cleanup()
    {
        QFile::remove(site->root() + u"/unc/vobhost"_s);
        site.reset();
    }

    void local_runsKestrel_reportsAProgramMissing()
    {
        Recorder said;
        SshClient ssh;
        CreationRun run = runKestrel(r, false, ssh, nullptr, said);
        QCOMPARE(said.said, QStringList{u"progress|Creating view..."_s});
        QVERIFY(!run.failed);
        QCOMPARE(run.created, u"jdoe__dev"_s);
        QVERIFY(site->tagExists(u"jdoe__dev"_s, u"ccase_unix"_s));

        r.kestrel = u"no-kestrel"_s;
        said.said.clear();
        run = runKestrel(r, false, ssh, nullptr, said);
        QCOMPARE(said.said.size(), 2);
        QVERIFY(said.said[1].startsWith(u"notStarted|ERROR: "_s + platform::toLocalPath(u"\\\\vobhost"_s)));
    }

    // A new result: the tag, the Windows tag, the clean-up. An output file left unchanged by a run that
    // could not log in is no result; neither is a last line that is no tag; an empty one makes no tag.
    void remote_onlyThisRunsTagCounts_data()
    {
        QTest::addColumn<QByteArray>("after"); // appended to Kestrel's output by the run ("-": no run)
        QTest::addColumn<QString>("created");
        QTest::addColumn<bool>("failed");
        QTest::newRow("new tag") << QByteArray() << u"jdoe__dev"_s << false;
        QTest::newRow("stale file") << QByteArray("-") << QString() << true;
        QTest::newRow("no tag") << QByteArray("x -replace -gpath /elsewhere\n") << QString() << true;
        QTest::newRow("empty") << QByteArray("\n") << QString() << false;
    }
    void remote_onlyThisRunsTagCounts()
    {
        QFETCH(QByteArray, after);
        QFETCH(QString, created);
        QFETCH(bool, failed);
        if (after == "-") { // an earlier run's result; this one never reaches the host
            write(out(), "jdoe__old\n");
            r.sshCmdPath = u"/bin/false"_s;
        } else if (!after.isEmpty()) {
            write(home + u"/kestrel-wrapped"_s, "#!/bin/sh\n\"$(dirname \"$0\")/kestrel\" \"$@\"\nprintf '" +
                                                    after + "' >>'" + out().toLocal8Bit() + "'\n");
            r.kestrel = u"kestrel-wrapped"_s;
        }
        Recorder said;
        SshClient ssh;
        const CreationRun run = runKestrel(r, true, ssh, nullptr, said);
        QCOMPARE(run.failed, failed);
        QCOMPARE(run.created, created);
        const QString failure = u"failed|Failed: Could not create the view\r\n--> jdoe__dev"_s;
        QStringList expected{u"progress|Creating view remotely..."_s};
        if (failed)
            expected << failure;
        else if (!created.isEmpty())
            expected << u"progress|Creating NT Tag..."_s << u"progress|cleaning up files..."_s;
        else
            expected << u"progress|cleaning up files..."_s;
        QCOMPARE(said.said, expected);
        QCOMPARE(site->tagExists(u"jdoe__dev"_s), !created.isEmpty());
        QCOMPARE(QFile::exists(out()), failed); // the clean-up ran unless the run failed
    }

    void gcsv_missingEmptyAndMultiLineFiles()
    {
        const QString unc = u"\\\\vobhost"_s + backslashed(home) + u"\\_work\\"_s;
        QString problem;
        QCOMPARE(gcsv(unc + u"missing.out"_s, &problem), u"FAILED"_s);
        QCOMPARE(problem, u"(gcsv): File does not exist --> "_s + QDir::toNativeSeparators(site->share(home.mid(1) + u"/_work/missing.out"_s)));
        write(home + u"/_work/empty.out"_s, "");
        problem.clear();
        QCOMPARE(gcsv(unc + u"empty.out"_s, &problem), QString());
        QVERIFY(problem.isEmpty());
        write(home + u"/_work/jdoe.out"_s, "mkview log\r\nsetcs\rdone\njdoe__dev\r\n");
        QCOMPARE(gcsv(unc + u"jdoe.out"_s, &problem), u"jdoe__dev"_s);
    }
};

QTEST_GUILESS_MAIN(TestCreation)
#include "tst_creation.moc"
