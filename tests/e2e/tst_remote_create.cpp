// "Create View" in interop mode: plink logs in to a throw-away account on a loopback sshd
// (tools/ssh-loopback.sh) and runs the Kestrel stand-in; region "ccase_unix" is the Unix side.

#include "support/recorder.h"
#include "support/site.h"
#include "ui/appglobals.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
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
} // namespace

class TestRemoteCreate : public QObject {
    Q_OBJECT

    bool m_up = false;
    QHash<QString, QString> m_ssh; // SSH_LOOPBACK_* without the prefix
    QString m_home, m_user, m_password, m_out, m_refused;
    std::unique_ptr<TestSite> site;
    std::unique_ptr<MessageRecorder> msgs;

    static QString configured(QString s) { return s.replace(QLatin1Char('/'), QLatin1Char('\\')); }

    void teardown()
    {
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
        site->writeConfig("qn.cfg", TestSite::configLines(true, lines + config));
        site->open();
        site->pick(project); // the mapping is offered once a project has been chosen
        if (!user.isEmpty()) {
            site->gui().click("usernameMappingCB");
            site->gui().type("usernameMappingTxt", user);
            site->pick(project);
        }
        site->gui().type("pwdTxt", pw);
    }

    void create(const QString &file)
    {
        site->gui().select("viewsList", m_user + "__" + file);
        site->gui().click("createViewBut");
    }

public:
    ~TestRemoteCreate() override
    {
        teardown();
        if (!m_refused.isEmpty())
            QFile::remove(m_refused);
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

        // A saved session for a port nobody listens on.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 closed = probe.serverPort();
        probe.close();
        m_refused = QFileInfo(m_ssh.value("SESSION_FILE")).path() + "/quillon-refused";
        writeFile(m_refused,
                  "HostName=127.0.0.1\nPortNumber=" + QByteArray::number(closed) + "\nProtocol=ssh\n");

        // The Unix host's side, all the account's own: Kestrel, templates, simulator, registry.
        const QString kestrel = m_home + "/kestrel";
        QVERIFY(QDir().mkpath(kestrel) && QDir().mkpath(m_home + "/bin") && QDir().mkpath(m_home + "/views"));
        QVERIFY(QFile::copy(QUILLON_SIM_BIN_DIR "/kestrel", kestrel + "/kestrel"));
        QVERIFY(QFile::copy(QUILLON_SIM_BIN_DIR "/cleartool", m_home + "/bin/cleartool"));
        writeFile(kestrel + "/kestrel.conf",
                  QStringLiteral("KESTREL_CLEARTOOL=%1/bin/cleartool\nCCSIM_HOME=%1/ccsim\n"
                                 "CCSIM_REGION=ccase_unix\nCCSIM_SHARED=1\nKESTREL_STORAGE="
                                 "%1/views\nKESTREL_VIEW_HOST=vobhost\n")
                      .arg(m_home)
                      .toLocal8Bit());
        // Kestrels that run the stand-in, then rewrite the output file.
        const QByteArray wrapper =
            "#!/bin/sh\n\"$(dirname \"$0\")/kestrel\" \"$@\"\nout=" + m_out.toLocal8Bit() + "\n";
        writeFile(kestrel + "/kestrel-empty", wrapper + ": >\"$out\"\n", true);
        writeFile(kestrel + "/kestrel-upper",
                  wrapper + "tail -n 1 \"$out\" | tr '[:lower:]' '[:upper:]' >>\"$out\"\n", true);
        writeFile(kestrel + "/kestrel-garbage", wrapper + "echo 'x -replace -gpath /elsewhere' >>\"$out\"\n",
                  true);
        for (const char *t : {"mixed", "upper", "wrong", "taken", "empty", "garbage", "stale"})
            writeFile(kestrel + "/config/r6000/" + t, "element * /main/LATEST\n");
        writeFile(kestrel + "/config/mainline/x;touch INJECTED", "element * /main/LATEST\n");

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
        // true with the tag read back in capitals, a wrong password, "FAILED", an empty output, a last line
        // that is no tag, and an output file left by an earlier run while the host refuses the connection.
        QTest::addColumn<QString>("file");
        for (const char *file : {"mixed", "upper", "wrong", "taken", "empty", "garbage", "stale"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }

    void create()
    {
        QFETCH(QString, file);
        const QString tag = m_user + "__" + file;
        const bool made = file == "mixed" || file == "upper";
        QString typed = m_user;
        for (qsizetype i = 0; file == "mixed" && i < typed.size(); i += 2)
            typed[i] = typed[i].toUpper();
        if (file == "taken")
            site->cleartool({"mkview", "-tag", tag, "-region", "ccase_unix", site->root() + "/taken.vws"});
        if (file == "stale")
            writeFile(m_out, "kestrel: an earlier run\n" + m_user.toLocal8Bit() + "__dev\n");
        const QString kestrel =
            "KESTREL=kestrel" +
            (QStringList{"upper", "empty", "garbage"}.contains(file) ? QString("-" + file) : QString());
        QStringList config{"USE_SSH=" + QString(file == "upper" ? "true" : "false"), kestrel};
        if (file == "stale") // nothing listens there: the SSH client's own words say so
            config << "VOB_SERVER=" + QFileInfo(m_refused).fileName();
        open("r6000", config, typed == m_user ? QString() : typed,
             file == "wrong" ? m_password + "x" : m_password);
        site->cleartool({"mkview", "-tag", tag + "_later", site->root() + "/later.vws"}); // seen if refreshed
        create(file);

        const QString failure = "Failed: Could not create the view\r\n--> " + tag +
                                "\r\n\r\nMake sure that you typed in the correct password";
        const QString missing = "(gcsv): File does not exist --> " + site->share(m_out.mid(1));
        QStringList expected;
        if (made)
            expected << "Success: the view --> " + tag + "\r\nhas been created.";
        else if (file == "empty")
            expected << "Note: could not determine if the view --> \r\nhas been created.";
        else if (file == "wrong")
            expected << missing << failure + "\r\n\r\nThe SSH client reported:";
        else if (file == "stale")
            expected << failure + "\r\n\r\nThe SSH client reported:";
        else
            expected << failure;
        QCOMPARE(msgs->shown.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QVERIFY2(msgs->shown[i].text.startsWith(expected[i]), qPrintable(msgs->shown[i].text));
            QCOMPARE(msgs->shown[i].buttons, MsgButtons::Ok);
        }
        const MessageRecorder::Entry &last = msgs->shown.last();
        QCOMPARE(last.icon, made || file == "empty" ? MsgIcon::Information : MsgIcon::Critical);
        QCOMPARE(last.title,
                 made || file == "empty" ? QString("Finished...") : QString("Failed to create view.."));
        if (file == "wrong")
            QVERIFY2(last.text.contains("password was not accepted") || last.text.contains("Access denied"),
                     qPrintable(last.text));
        if (file == "stale")
            QVERIFY2(last.text.endsWith("Connection refused" + LOG_HINT), qPrintable(last.text));

        QCOMPARE(AppGlobals().unix_user, typed);
        QCOMPARE(site->tagExists(tag), made);
        QVERIFY(!site->tagExists(tag.toUpper()));
        QVERIFY(!site->tagExists("x")); // no tag made of a last line that is no tag
        QCOMPARE(site->tagExists(tag, "ccase_unix"), file != "wrong" && file != "stale");
        // The clean-up runs after a result, not after a failure (the file stays for a look).
        QCOMPARE(QFile::exists(m_out), !made && file != "empty" && file != "wrong");
        QCOMPARE(site->gui().items("myViewsList").contains(tag + "_later"), made || file == "empty");
        if (made) // the shared registry gets the site's global path, not this workstation's
            QVERIFY(
                site->cleartool({"lsview", "-long", tag})
                    .contains("Global path: \\\\vobhost" + configured(m_home) + "\\views\\" + tag + ".vws"));
    }

    void unsafeTemplateName_runsNothing()
    {
        const auto logins = [this] {
            return readFile(m_ssh.value("DIR") + "/sshd.log").count("Accepted password for ");
        };
        const auto before = logins();
        QVERIFY(before > 0); // the earlier cases logged in
        open("mainline", {}, QString(), m_password);
        create("x;touch INJECTED");
        QCOMPARE(msgs->shown,
                 (QList<Msg>{{"The template file name \"x;touch INJECTED\" contains the character "
                              "\";\", which the Unix host's shell would interpret. Nothing was run.",
                              MsgIcon::Exclamation, MsgButtons::Ok, "Create View"}}));
        QVERIFY(!QFile::exists(m_home + "/INJECTED") && !QFile::exists(m_out));
        QCOMPARE(logins(), before);
    }
};

QTEST_MAIN(TestRemoteCreate)
#include "tst_remote_create.moc"
