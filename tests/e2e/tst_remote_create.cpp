// "Create View" in interop mode: plink logs in to a throw-away account on a loopback sshd
// (tools/ssh-loopback.sh) and runs the Kestrel stand-in; region "ccase_unix" is the Unix side.

#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

namespace {
const QString SCRIPT = QStringLiteral(QUILLON_SOURCE_DIR "/tools/ssh-loopback.sh");

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
} // namespace

class TestRemoteCreate : public QObject {
    Q_OBJECT

    bool m_up = false;
    QHash<QString, QString> m_ssh; // SSH_LOOPBACK_* without the prefix
    QString m_home, m_user, m_password, m_out;
    std::unique_ptr<TestSite> site;
    std::unique_ptr<MessageRecorder> msgs;
    frmMain *w = nullptr;

    static QString configured(QString s) { return s.replace(QLatin1Char('/'), QLatin1Char('\\')); }

    void teardown()
    {
        if (site) // the link to "/" goes before anything could remove the tree
            QFile::remove(site->root() + "/unc/vobhost");
        site.reset();
        msgs.reset();
        AppGlobals().progress().stop_progress();
    }

    void open(const QString &project, const QStringList &config, const QString &user, const QString &pw)
    {
        const QString home = configured(m_home) + "\\kestrel", plink = m_ssh.value("PLINK");
        const QStringList lines{"VOB_SERVER=" + m_ssh.value("SESSION"),
                                "KESTREL_HOME=" + home,
                                "KESTREL_CONFIG=" + home + "\\config",
                                "SSH_HOME=" + QFileInfo(plink).path(),
                                "SSH_CMD=" + QFileInfo(plink).fileName(),
                                "VIEW_STORAGE=\\\\vobhost" + configured(m_home) + "\\views"};
        site->write_config("qn.cfg", TestSite::config_lines(true, lines + config));
        w = site->open();
        w->ui->usernameMappingCB->setChecked(!user.isEmpty());
        w->ui->usernameMappingTxt->setText(user);
        site->pick(project);
        w->ui->pwdTxt->setText(pw);
    }

    void create(const QString &file)
    {
        const auto found = w->ui->viewsList->findItems(m_user + "__" + file, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        w->ui->viewsList->setCurrentItem(found[0]);
        w->ui->createViewBut->click();
    }

public:
    ~TestRemoteCreate() override
    {
        teardown();
        if (m_up)
            run("bash", {SCRIPT, "down"});
    }

private slots:
    void initTestCase()
    {
        if (geteuid() != 0)
            QSKIP("needs root: the loopback sshd adds a throw-away Unix account and starts sshd");
        QString output;
        m_up = true; // "down" is safe whatever "up" got to
        QCOMPARE(run("bash", {SCRIPT, "up"}, &output), 0);
        for (const QString &line : output.split(QLatin1Char('\n')))
            if (line.startsWith("SSH_LOOPBACK_") && line.contains(QLatin1Char('=')))
                m_ssh.insert(line.section(QLatin1Char('='), 0, 0).mid(13), line.section(QLatin1Char('='), 1));
        m_home = m_ssh.value("USER_HOME");
        m_user = m_ssh.value("USER");
        m_password = m_ssh.value("PASSWORD");
        QVERIFY(!m_home.isEmpty() && !m_user.isEmpty() && !m_password.isEmpty());
        m_out = m_home + "/kestrel/_work/" + m_user + ".out";

        // The Unix host's side, all the account's own: Kestrel, templates, simulator, registry.
        const QString kestrel = m_home + "/kestrel";
        QVERIFY(QDir().mkpath(kestrel + "/config/r6000") && QDir().mkpath(kestrel + "/config/mainline") &&
                QDir().mkpath(m_home + "/bin") && QDir().mkpath(m_home + "/views"));
        QVERIFY(QFile::copy(QUILLON_SIM_BIN_DIR "/kestrel", kestrel + "/kestrel"));
        QVERIFY(QFile::copy(QUILLON_SIM_BIN_DIR "/cleartool", m_home + "/bin/cleartool"));
        write_file(kestrel + "/kestrel.conf",
                   QStringLiteral("KESTREL_CLEARTOOL=%1/bin/cleartool\nCCSIM_HOME=%1/ccsim\n"
                                  "CCSIM_REGION=ccase_unix\nCCSIM_SHARED=1\nKESTREL_STORAGE="
                                  "%1/views\nKESTREL_VIEW_HOST=vobhost\n")
                       .arg(m_home)
                       .toLocal8Bit());
        // Kestrels that run the stand-in, then rewrite the output file.
        const QByteArray wrapper =
            "#!/bin/sh\n\"$(dirname \"$0\")/kestrel\" \"$@\"\nout=" + m_out.toLocal8Bit() + "\n";
        write_file(kestrel + "/kestrel-empty", wrapper + ": >\"$out\"\n");
        write_file(kestrel + "/kestrel-upper",
                   wrapper + "tail -n 1 \"$out\" | tr '[:lower:]' '[:upper:]' >>\"$out\"\n");
        for (const char *t : {"mixed", "upper", "wrong", "taken", "empty"})
            write_file(kestrel + "/config/r6000/" + t, "element * /main/LATEST\n");
        write_file(kestrel + "/config/mainline/x;touch INJECTED", "element * /main/LATEST\n");

        qputenv("CCSIM_HOME", (m_home + "/ccsim").toLocal8Bit());
        qputenv("CCSIM_SHARED", "1");
        QCOMPARE(run("cleartool", {"-sim-mkregion", "ccase_unix"}), 0);
        QCOMPARE(run("chown",
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

    // No progress window is left and no message shows the password.
    void cleanup()
    {
        QVERIFY(!AppGlobals().progress().isVisible());
        for (const auto &e : msgs->shown)
            QVERIFY(!e.text.contains(m_password) && !e.title.contains(m_password));
        teardown();
    }

    void create_data()
    {
        // The template names the case: the remote user typed in mixed case (a login as typed fails), USE_SSH
        // true with the tag read back in capitals, a wrong password, "FAILED", an empty output.
        QTest::addColumn<QString>("file");
        for (const char *file : {"mixed", "upper", "wrong", "taken", "empty"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }

    void create()
    {
        QFETCH(QString, file);
        const QString tag = m_user + "__" + file;
        const bool made = !QStringList{"wrong", "taken", "empty"}.contains(file);
        QString typed = m_user;
        for (qsizetype i = 0; file == "mixed" && i < typed.size(); i += 2)
            typed[i] = typed[i].toUpper();
        if (file == "taken")
            site->cleartool({"mkview", "-tag", tag, "-region", "ccase_unix", site->root() + "/taken.vws"});
        open("r6000",
             {"USE_SSH=" + QString(file == "upper" ? "true" : "false"),
              "KESTREL=kestrel" + (file == "upper" || file == "empty" ? QString("-" + file) : QString())},
             typed == m_user ? QString() : typed, file == "wrong" ? m_password + "x" : m_password);
        site->cleartool({"mkview", "-tag", tag + "_later", site->root() + "/later.vws"}); // seen if refreshed
        create(file);

        const QString first = made ? "Success: the view --> " + tag + "\r\nhas been created."
                              : file == "empty"
                                  ? QString("Note: could not determine if the view --> \r\nhas been created.")
                                  : "Failed: Could not create the view\r\n--> " + tag +
                                        "\r\n\r\nMake sure that you typed in the correct password";
        QString texts = msgs->texts().join(QLatin1Char('|'));
        if (file == "empty")
            texts.truncate(first.size()); // the note goes on about templates
        // A wrong password first finds no output file.
        QCOMPARE(texts, file == "wrong"
                            ? "(gcsv): File does not exist --> \\\\vobhost" + configured(m_out) + "|" + first
                            : first);
        QCOMPARE(AppGlobals().unix_user, typed);
        QCOMPARE(site->tag_exists(tag), made);
        QVERIFY(!site->tag_exists(tag.toUpper()));
        QCOMPARE(site->tag_exists(tag, "ccase_unix"), file != "wrong");
        QCOMPARE(QFile::exists(m_out), file == "taken"); // the clean-up ran but after "FAILED"
        QCOMPARE(!w->ui->myViewsList->findItems(tag + "_later", Qt::MatchExactly).isEmpty(),
                 file != "wrong" && file != "taken");
    }

    void unsafeTemplateName_runsNothing()
    {
        const auto logins = [this] {
            QFile log(m_ssh.value("DIR") + "/sshd.log");
            return log.open(QIODevice::ReadOnly) ? log.readAll().count("Accepted password for ") : -1;
        };
        const auto before = logins();
        QVERIFY(before > 0); // the earlier cases logged in
        open("mainline", {}, QString(), m_password);
        create("x;touch INJECTED");
        QCOMPARE(msgs->texts(),
                 QStringList{"The template file name \"x;touch INJECTED\" contains the character "
                             "\";\", which the Unix host's shell would interpret. Nothing was run."});
        QVERIFY(!QFile::exists(m_home + "/INJECTED") && !QFile::exists(m_out));
        QCOMPARE(logins(), before);
    }
};

QTEST_MAIN(TestRemoteCreate)
#include "tst_remote_create.moc"
