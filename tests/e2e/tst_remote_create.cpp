// "Create View" in interop mode: plink logs in to a throw-away account on a loopback sshd
// (tools/ssh-loopback.sh) and runs the Kestrel stand-in; region "ccase_unix" is the Unix side.

#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "outside/platform.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

namespace {
const QString SCRIPT = QStringLiteral(QUILLON_SOURCE_DIR "/tools/ssh-loopback.sh");

// Runs a program to its end; its exit status.
int run(const QString &program, const QStringList &args, QString *output = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void write_file(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeOther);
}

// A Kestrel in front of the stand-in that then rewrites its output file.
QByteArray wrapper(const QByteArray &after)
{
    return "#!/bin/sh\nhere=$(cd \"$(dirname \"$0\")\" && pwd)\n\"$here/kestrel\" \"$@\"\nuser=\n"
           "while [ $# -gt 0 ]; do case $1 in -user) user=$2; shift 2 ;; *) shift ;; esac; done\n"
           "out=$here/_work/$user.out\n" +
           after;
}

} // namespace

class TestRemoteCreate : public QObject {
    Q_OBJECT

    bool m_up = false;
    QHash<QString, QString> m_ssh; // SSH_LOOPBACK_* without the prefix
    QString m_home, m_user, m_password;
    QString m_out; // Kestrel's output file, local path
    std::unique_ptr<TestSite> site;
    std::unique_ptr<MessageRecorder> msgs;
    frmMain *w = nullptr;

    void teardown()
    {
        // The link to "/" goes before anything could remove the tree.
        if (site)
            QFile::remove(site->root() + "/unc/vobhost");
        site.reset();
        msgs.reset();
        w = nullptr;
        AppGlobals().progress().stop_progress();
    }

    int down()
    {
        teardown();
        if (!m_up)
            return 0;
        m_up = false;
        return run(QStringLiteral("bash"), {SCRIPT, QStringLiteral("down")});
    }

public:
    ~TestRemoteCreate() override { down(); }

private:
    // The configured form of a local path: "\home\x\...".
    static QString configured(QString local) { return local.replace(QLatin1Char('/'), QLatin1Char('\\')); }

    void open(const char *use_ssh = "false", const QString &project = QStringLiteral("r6000"),
              const QString &mapped_user = QString())
    {
        const QString home = configured(m_home) + QStringLiteral("\\kestrel");
        const QFileInfo plink(m_ssh.value(QStringLiteral("PLINK")));
        site->write_config(
            QStringLiteral("qn.cfg"),
            TestSite::config_lines(true, {"VOB_SERVER=" + m_ssh.value(QStringLiteral("SESSION")),
                                          "KESTREL_HOME=" + home, "KESTREL_CONFIG=" + home + "\\config",
                                          "SSH_HOME=" + plink.path(), "SSH_CMD=" + plink.fileName(),
                                          "VIEW_STORAGE=\\\\vobhost" + configured(m_home) + "\\views",
                                          "USE_SSH=" + QLatin1String(use_ssh)}));
        w = site->open();
        if (!mapped_user.isEmpty()) {
            w->ui->usernameMappingCB->setChecked(true);
            w->ui->usernameMappingTxt->setText(mapped_user);
        }
        site->pick(project);
        w->ui->pwdTxt->setText(m_password);
    }

    void create(const QString &file)
    {
        msgs->clear();
        const auto found = w->ui->viewsList->findItems(m_user + "__" + file, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        w->ui->viewsList->setCurrentItem(found[0]);
        w->ui->createViewBut->click();
    }

    bool listed(const QString &tag) const
    {
        return !w->ui->myViewsList->findItems(tag, Qt::MatchExactly).isEmpty();
    }

    // Logins the loopback sshd has let in so far.
    int accepted_logins() const
    {
        QFile log(m_ssh.value(QStringLiteral("DIR")) + QStringLiteral("/sshd.log"));
        return log.open(QIODevice::ReadOnly) ? int(log.readAll().count("Accepted password for ")) : -1;
    }

    // The run left no progress window or hourglass, and no box, title, tool tip
    // or progress label shows the password.
    void verify_left_clean()
    {
        QVERIFY(!AppGlobals().progress().isVisible());
        QVERIFY(w->cursor().shape() != Qt::WaitCursor);
        for (const auto &e : msgs->shown)
            QVERIFY(!e.text.contains(m_password) && !e.title.contains(m_password));
        for (QWidget *c : w->findChildren<QWidget *>())
            QVERIFY(!c->toolTip().contains(m_password) && !c->windowTitle().contains(m_password));
        for (QLabel *l : AppGlobals().progress().findChildren<QLabel *>())
            QVERIFY(!l->text().contains(m_password));
    }

private slots:
    void initTestCase()
    {
        if (geteuid() != 0)
            QSKIP("needs root: the loopback sshd adds a throw-away Unix account and starts sshd");
        QString output;
        m_up = true; // "down" is safe whatever "up" got to
        QCOMPARE(run(QStringLiteral("bash"), {SCRIPT, QStringLiteral("up")}, &output), 0);
        for (const QString &line : output.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("SSH_LOOPBACK_")) && line.contains(QLatin1Char('=')))
                m_ssh.insert(line.section(QLatin1Char('='), 0, 0).mid(13), line.section(QLatin1Char('='), 1));
        }
        m_home = m_ssh.value(QStringLiteral("USER_HOME"));
        m_user = m_ssh.value(QStringLiteral("USER"));
        m_password = m_ssh.value(QStringLiteral("PASSWORD"));
        QVERIFY(!m_home.isEmpty() && !m_user.isEmpty() && !m_password.isEmpty());
        m_out = m_home + "/kestrel/_work/" + m_user + ".out";

        // The Unix host's side, all of it the account's own: Kestrel and its
        // wrappers, the templates, the simulator, the shared registry.
        const QString kestrel = m_home + QStringLiteral("/kestrel");
        QVERIFY(QDir().mkpath(kestrel + "/config/r6000") && QDir().mkpath(kestrel + "/config/mainline") &&
                QDir().mkpath(m_home + "/bin") && QDir().mkpath(m_home + "/views"));
        QFile::remove(kestrel + "/kestrel");
        QVERIFY(QFile::copy(QUILLON_SIM_BIN_DIR "/kestrel", kestrel + "/kestrel"));
        QVERIFY(QFile::copy(QUILLON_SIM_BIN_DIR "/cleartool", m_home + "/bin/cleartool"));
        write_file(kestrel + "/kestrel.conf",
                   "KESTREL_CLEARTOOL=" + m_home.toLocal8Bit() +
                       "/bin/cleartool\nCCSIM_HOME=" + m_home.toLocal8Bit() +
                       "/ccsim\nCCSIM_REGION=ccase_unix\nCCSIM_SHARED=1\nKESTREL_STORAGE=" +
                       m_home.toLocal8Bit() + "/views\nKESTREL_VIEW_HOST=vobhost\n");
        write_file(kestrel + "/kestrel-empty", wrapper(": >\"$out\"\n"));
        write_file(
            kestrel + "/kestrel-upper",
            wrapper("last=$(tail -n 1 \"$out\")\necho \"$last\" | tr '[:lower:]' '[:upper:]' >>\"$out\"\n"));
        for (const char *t : {"plain", "ssh", "taken", "empty", "upper", "mixed", "wrong"})
            write_file(kestrel + "/config/r6000/" + t, "element * /main/LATEST\n");
        write_file(kestrel + "/config/mainline/x;touch INJECTED", "element * /main/LATEST\n");

        qputenv("CCSIM_HOME", (m_home + "/ccsim").toLocal8Bit());
        qputenv("CCSIM_SHARED", "1");
        QCOMPARE(run(QStringLiteral("cleartool"), {"-sim-mkregion", "ccase_unix"}), 0);
        QCOMPARE(run(QStringLiteral("chown"),
                     {"-R", m_user + ":", kestrel, m_home + "/bin", m_home + "/views", m_home + "/ccsim"}),
                 0);
    }

    void init()
    {
        teardown(); // a failed init is not followed by cleanup
        site = std::make_unique<TestSite>(m_user);
        msgs = std::make_unique<MessageRecorder>();
        qputenv("CCSIM_HOME", (m_home + "/ccsim").toLocal8Bit());
        QVERIFY(QDir(site->share(QString())).removeRecursively());
        QVERIFY(QFile::link("/", site->root() + "/unc/vobhost")); // the host's share is the whole disk
        QFile::remove(m_out);
    }

    void cleanup()
    {
        if (w)
            verify_left_clean();
        teardown();
    }

    void cleanupTestCase() { QCOMPARE(down(), 0); }

    void success_data()
    {
        // The template names the case: USE_SSH true, the tag read back in
        // capitals, the remote user typed in mixed case (a login as typed fails).
        QTest::addColumn<QString>("file");
        for (const char *file : {"plain", "ssh", "upper", "mixed"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }

    void success()
    {
        QFETCH(QString, file);
        QString typed = m_user;
        for (qsizetype i = 0; file == QLatin1String("mixed") && i < typed.size(); i += 2)
            typed[i] = typed[i].toUpper();
        open(file == QLatin1String("ssh") ? "true" : "false", QStringLiteral("r6000"),
             typed == m_user ? QString() : typed);
        QCOMPARE(AppGlobals().unix_user, typed);
        if (file == QLatin1String("upper"))
            AppGlobals().config.KESTREL = QStringLiteral("kestrel-upper");
        create(file);

        const QString tag = m_user + QStringLiteral("__") + file;
        QCOMPARE(msgs->texts(), QStringList{"Success: the view --> " + tag + "\r\nhas been created."});
        QCOMPARE(msgs->shown[0].title, QStringLiteral("Finished..."));
        QVERIFY(site->tag_exists(tag, QStringLiteral("ccase_unix")));
        QVERIFY(!site->tag_exists(tag.toUpper()));
        const QString gpath =
            platform::to_local_path("\\\\vobhost" + configured(m_home) + "\\views\\" + tag + ".vws");
        QVERIFY(site->cleartool({"lsview", "-long", "-region", "Windows", tag})
                    .contains("Global path: " + gpath));
        QVERIFY(!QFile::exists(m_out));
        QVERIFY(listed(tag));
    }

    void failure_data()
    {
        // A wrong password (no hang), Kestrel ending in "FAILED", an empty output file.
        QTest::addColumn<QString>("file");
        for (const char *file : {"wrong", "taken", "empty"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }

    void failure()
    {
        QFETCH(QString, file);
        const QString tag = m_user + "__" + file;
        if (file == "taken")
            site->cleartool({"mkview", "-tag", tag, "-region", "ccase_unix", site->root() + "/taken.vws"});
        open();
        // A view that appears now would show in a refreshed list.
        site->cleartool({"mkview", "-tag", tag + "_later", site->root() + "/later.vws"});
        if (file == "taken") // never reached: ClearCase Explorer is not started after "FAILED"
            AppGlobals().config.CC_EXPLORER = "true";
        if (file == "wrong")
            w->ui->pwdTxt->setText(m_password + "x");
        if (file == "empty")
            AppGlobals().config.KESTREL = "kestrel-empty";
        create(file);

        const QString failed = "Failed: Could not create the view\r\n--> " + tag +
                               "\r\n\r\nMake sure that you typed in the correct password";
        const QString note =
            "Note: could not determine if the view --> \r\nhas been created. View may be based on a "
            "template file in\r\nwhich case Quillon is unable to determine if the view has been\r\n"
            "created.  Check My Existing View(s) list below.";
        const QString missing = "(gcsv): File does not exist --> \\\\vobhost" + configured(m_out);
        const QStringList expected =
            file == "wrong" ? QStringList{missing, failed} : QStringList{file == "taken" ? failed : note};
        QCOMPARE(msgs->texts(), expected);
        QCOMPARE(msgs->shown[0].icon, file == "empty" ? MsgIcon::Information : MsgIcon::Critical);
        QVERIFY(!site->tag_exists(tag));
        QCOMPARE(site->tag_exists(tag, "ccase_unix"), file != "wrong");
        // The output file is left after "FAILED" only; the clean-up ran otherwise.
        QCOMPARE(QFile::exists(m_out), file == "taken");
        QFile out(m_out);
        QVERIFY(file != "taken" ||
                (out.open(QIODevice::ReadOnly) && out.readAll().trimmed().endsWith("\nFAILED")));
        QVERIFY(file == "empty" || !listed(tag + "_later")); // failures refresh nothing
    }

    void unsafeTemplateName_runsNothing()
    {
        const int logins = accepted_logins();
        QVERIFY(logins > 0); // the earlier cases logged in
        open("false", QStringLiteral("mainline"));
        create(QStringLiteral("x;touch INJECTED"));

        QCOMPARE(msgs->texts(),
                 QStringList{"The template file name \"x;touch INJECTED\" contains the character "
                             "\";\", which the Unix host's shell would interpret. Nothing was run."});
        QCOMPARE(msgs->shown[0].icon, MsgIcon::Exclamation);
        QVERIFY(!QFile::exists(m_home + QStringLiteral("/INJECTED")));
        QVERIFY(!QFile::exists(m_out));
        QCOMPARE(accepted_logins(), logins);
    }
};

QTEST_MAIN(TestRemoteCreate)
#include "tst_remote_create.moc"
