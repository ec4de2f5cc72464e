// "Create View" in interop mode through a real SSH client: plink logs in to
// a throw-away account on a loopback sshd (tools/ssh-loopback.sh) and runs
// the Kestrel stand-in there; the Windows side is the simulator's region
// "Windows", the Unix side its region "ccase_unix", in one shared registry.

#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "outside/platform.h"
#include "support/recorder.h"
#include "ui_frmMain.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {
const QString HOST = QStringLiteral("unixhost");
const QString PROJECT = QStringLiteral("proj");

void write_file(const QString &path, const QByteArray &content, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    f.close();
    QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (executable)
        p |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    f.setPermissions(p);
}

// Runs a program to its end; its output is returned, not shown.
QString run(const QString &program, const QStringList &args, int *status = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    if (status)
        *status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QString cleartool(const QStringList &args)
{
    return run(QStringLiteral("cleartool"), args);
}

bool tag_exists(const QString &region, const QString &tag)
{
    return cleartool({"lsview", "-short", "-region", region, tag}).split(QLatin1Char('\n')).contains(tag);
}

QStringList items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// A Kestrel in front of the stand-in that rewrites its output file.
QByteArray wrapper(const QByteArray &after)
{
    return "#!/bin/sh\n"
           "here=$(cd \"$(dirname \"$0\")\" && pwd)\n"
           "\"$here/kestrel\" \"$@\"\n"
           "user=\n"
           "while [ $# -gt 0 ]; do case $1 in -user) user=$2; shift 2 ;; *) shift ;; esac; done\n"
           "out=$here/_work/$user.out\n" +
           after;
}
} // namespace

class TestRemoteCreate : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_script = QStringLiteral(QUILLON_SOURCE_DIR) + QStringLiteral("/tools/ssh-loopback.sh");
    bool m_up = false;
    QHash<QString, QString> m_ssh; // SSH_LOOPBACK_* without the prefix
    QString m_home;                // the account's home
    QString m_user;
    QString m_password;
    QString m_out; // Kestrel's output file, local path
    frmMain *m_w = nullptr;

    Ui::frmMain *ui() { return m_w->ui; }

    // Takes the loopback set-up down again; its status.
    int down()
    {
        // The link to "/" goes before anything could remove the tree.
        QFile::remove(m_dir.filePath(QStringLiteral("unc/")) + HOST);
        if (!m_up)
            return 0;
        int status = 0;
        run(QStringLiteral("bash"), {m_script, QStringLiteral("down")}, &status);
        m_up = false;
        return status;
    }

public:
    ~TestRemoteCreate() override { down(); }

private:
    // The configured form of a path under the account's home: "\home\x\...".
    QString configured(const QString &local) const { return QString(local).replace(QLatin1Char('/'), '\\'); }

    void write_config(const QByteArray &use_ssh)
    {
        const QString kestrel_home = configured(m_home + QStringLiteral("/kestrel"));
        const QFileInfo plink(m_ssh.value(QStringLiteral("PLINK")));
        write_file(m_dir.filePath(QStringLiteral("program/qn.cfg")),
                   "HOST=" + HOST.toLocal8Bit() + "\r\nVOB_SERVER=" + m_ssh.value("SESSION").toLocal8Bit() +
                       "\r\nKESTREL=kestrel\r\nKESTREL_HOME=" + kestrel_home.toLocal8Bit() +
                       "\r\nKESTREL_CONFIG=" + kestrel_home.toLocal8Bit() + "\\config\r\nSSH_HOME=" +
                       plink.path().toLocal8Bit() + "\r\nSSH_CMD=" + plink.fileName().toLocal8Bit() +
                       "\r\nVIEW_STORAGE=\\\\" + HOST.toLocal8Bit() + configured(m_home).toLocal8Bit() +
                       "\\views\r\nPROJECT=proj\r\nPROJECT=inj\r\nADMIN=nobody\r\nNT_ONLY=false\r\n"
                       "CC_EXPLORER=false\r\nIS_INTEROP=true\r\nUSE_SSH=" +
                       use_ssh + "\r\n");
    }

    void open_window(const QString &project = PROJECT, const QString &mapped_user = QString())
    {
        m_w = new frmMain;
        AppGlobalsData &g = AppGlobals();
        g.main_window = m_w;
        set_config_keys(g.config);
        g.config.CFG_FILE = QStringLiteral("qn.cfg");
        read_config_file(m_dir.filePath(QStringLiteral("program")) + QStringLiteral("\\qn.cfg"), g.config);
        m_w->load();
        m_w->first_click_done = true;
        if (!mapped_user.isEmpty()) {
            ui()->usernameMappingCB->setChecked(true);
            ui()->usernameMappingTxt->setText(mapped_user);
        }
        ui()->projectCombo->setEditText(project);
        m_w->projectCombo_Click();
        ui()->pwdTxt->setText(m_password);
    }

    // Picks a template by file name; the list shows it as the lower-cased
    // user, "__", the name.
    void select_template(const QString &file)
    {
        const auto &templates = AppGlobals().view_templates;
        for (size_t i = 0; i < templates.size(); ++i) {
            if (templates[i].file_name == file) {
                ui()->viewsList->setCurrentRow(int(i));
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no template ") + file));
    }

    // No box, title or tool tip of the program shows the password.
    void verify_password_hidden(const MessageRecorder &msgs)
    {
        for (const auto &e : msgs.shown) {
            QVERIFY(!e.text.contains(m_password));
            QVERIFY(!e.title.contains(m_password));
        }
        for (QWidget *w : m_w->findChildren<QWidget *>())
            QVERIFY(!w->toolTip().contains(m_password));
        QVERIFY(!m_w->windowTitle().contains(m_password));
        for (QLabel *l : AppGlobals().progress().findChildren<QLabel *>())
            QVERIFY(!l->text().contains(m_password));
    }

    void verify_cleared()
    {
        QVERIFY(!AppGlobals().progress().isVisible());
        QVERIFY(m_w->cursor().shape() != Qt::WaitCursor);
    }

    QString gpath_of(const QString &tag)
    {
        return platform::to_local_path(QStringLiteral("\\\\") + HOST + configured(m_home) +
                                       QStringLiteral("\\views\\") + tag + QStringLiteral(".vws"));
    }

    // Logins the loopback sshd has let in so far.
    int accepted_logins() const
    {
        QFile log(m_ssh.value(QStringLiteral("DIR")) + QStringLiteral("/sshd.log"));
        if (!log.open(QIODevice::ReadOnly))
            return -1;
        return int(log.readAll().count("Accepted password for "));
    }

    QString success(const QString &tag) const
    {
        return QStringLiteral("Success: the view --> ") + tag + QStringLiteral("\r\nhas been created.");
    }

private slots:
    void initTestCase()
    {
        if (geteuid() != 0)
            QSKIP("needs root: the loopback sshd adds a throw-away Unix account and starts sshd");
        QVERIFY(m_dir.isValid());
        QProcess up;
        up.setProcessChannelMode(QProcess::SeparateChannels);
        up.start(QStringLiteral("bash"), {m_script, QStringLiteral("up")});
        QVERIFY(up.waitForFinished(120000));
        m_up = true; // "down" is safe whatever "up" got to
        QCOMPARE(up.exitCode(), 0);
        for (const QString &line :
             QString::fromLocal8Bit(up.readAllStandardOutput()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("SSH_LOOPBACK_")) && line.contains(QLatin1Char('=')))
                m_ssh.insert(line.section(QLatin1Char('='), 0, 0).mid(13), line.section(QLatin1Char('='), 1));
        }
        m_home = m_ssh.value(QStringLiteral("USER_HOME"));
        m_user = m_ssh.value(QStringLiteral("USER"));
        m_password = m_ssh.value(QStringLiteral("PASSWORD"));
        QVERIFY(!m_home.isEmpty() && !m_user.isEmpty() && !m_password.isEmpty());
        m_out = m_home + QStringLiteral("/kestrel/_work/") + m_user + QStringLiteral(".out");

        // The Unix host's side, all of it the account's own: Kestrel and
        // its wrappers, the templates, the simulator, the shared registry.
        const QString kestrel = m_home + QStringLiteral("/kestrel");
        const QString sim = QStringLiteral(QUILLON_SIM_BIN_DIR);
        QVERIFY(QDir().mkpath(kestrel + QStringLiteral("/config/inj")) && QDir().mkpath(m_home + "/bin") &&
                QDir().mkpath(m_home + "/views"));
        QFile::remove(kestrel + QStringLiteral("/kestrel"));
        QVERIFY(QFile::copy(sim + QStringLiteral("/kestrel"), kestrel + QStringLiteral("/kestrel")));
        QVERIFY(QFile::copy(sim + QStringLiteral("/cleartool"), m_home + QStringLiteral("/bin/cleartool")));
        for (const QString &f : QStringList{kestrel + "/kestrel", m_home + "/bin/cleartool"})
            QVERIFY(QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                 QFile::ReadOther | QFile::ExeOther));
        write_file(kestrel + QStringLiteral("/kestrel.conf"),
                   "KESTREL_CLEARTOOL=" + m_home.toLocal8Bit() +
                       "/bin/cleartool\nCCSIM_HOME=" + m_home.toLocal8Bit() +
                       "/ccsim\nCCSIM_REGION=ccase_unix\nCCSIM_SHARED=1\nKESTREL_STORAGE=" +
                       m_home.toLocal8Bit() + "/views\nKESTREL_VIEW_HOST=" + HOST.toLocal8Bit() + "\n");
        write_file(kestrel + QStringLiteral("/kestrel-empty"), wrapper(": >\"$out\"\n"), true);
        write_file(
            kestrel + QStringLiteral("/kestrel-upper"),
            wrapper("last=$(tail -n 1 \"$out\")\necho \"$last\" | tr '[:lower:]' '[:upper:]' >>\"$out\"\n"),
            true);
        const QByteArray tmpl =
            "#Kestrel_Description: a view\nelement * CHECKEDOUT\nelement * /main/LATEST\n";
        for (const char *t : {"plain", "ssh", "taken", "empty", "upper", "mixed", "wrong"})
            write_file(kestrel + QStringLiteral("/config/proj/") + QLatin1String(t), tmpl);
        write_file(kestrel + QStringLiteral("/config/inj/x;touch INJECTED"), tmpl);

        qputenv("CCSIM_HOME", (m_home + QStringLiteral("/ccsim")).toLocal8Bit());
        qputenv("CCSIM_SHARED", "1");
        qunsetenv("CCSIM_REGION");
        cleartool({QStringLiteral("-sim-mkregion"), QStringLiteral("ccase_unix")});
        int status = 0;
        run(QStringLiteral("chown"),
            {QStringLiteral("-R"), m_user + QStringLiteral(":"), kestrel, m_home + QStringLiteral("/bin"),
             m_home + QStringLiteral("/views"), m_home + QStringLiteral("/ccsim")},
            &status);
        QCOMPARE(status, 0);

        // The workstation: its share of HOST is the whole file system.
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("unc"))));
        QVERIFY(QFile::link(QStringLiteral("/"), m_dir.filePath(QStringLiteral("unc/")) + HOST));
        qputenv("QUILLON_PROGRAM_DIR", m_dir.filePath(QStringLiteral("program")).toLocal8Bit());
        qputenv("QUILLON_UNC_ROOT", m_dir.filePath(QStringLiteral("unc")).toLocal8Bit());
        qputenv("USER", m_user.toLocal8Bit());
        qunsetenv("CLEARCASE_PRIMARY_GROUP");
    }

    void init()
    {
        write_config("false");
        QFile::remove(m_out);
    }

    void cleanup()
    {
        if (m_w)
            verify_cleared();
        delete m_w;
        m_w = nullptr;
        AppGlobals().progress().stop_progress();
    }

    void cleanupTestCase() { QCOMPARE(down(), 0); }

    void success_withAndWithoutSsh_data()
    {
        QTest::addColumn<QByteArray>("use_ssh");
        QTest::addColumn<QString>("file");
        QTest::newRow("no -ssh") << QByteArray("false") << QStringLiteral("plain");
        QTest::newRow("-ssh") << QByteArray("true") << QStringLiteral("ssh");
    }

    void success_withAndWithoutSsh()
    {
        QFETCH(QByteArray, use_ssh);
        QFETCH(QString, file);
        write_config(use_ssh);
        MessageRecorder msgs;
        open_window();
        msgs.clear();
        select_template(file);
        ui()->createViewBut->click();

        const QString tag = m_user + QStringLiteral("__") + file;
        QCOMPARE(msgs.texts(), QStringList{success(tag)});
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Finished..."));
        QVERIFY(tag_exists(QStringLiteral("ccase_unix"), tag));
        QVERIFY(tag_exists(QStringLiteral("Windows"), tag));
        QVERIFY(cleartool({"lsview", "-long", "-region", "Windows", tag})
                    .contains("Global path: " + gpath_of(tag)));
        QVERIFY(!QFile::exists(m_out));
        QVERIFY(items(ui()->myViewsList).contains(tag));
        verify_password_hidden(msgs);
    }

    void wrongPassword_failsWithoutHanging()
    {
        MessageRecorder msgs;
        open_window();
        msgs.clear();
        ui()->pwdTxt->setText(m_password + QStringLiteral("x"));
        select_template(QStringLiteral("wrong"));
        ui()->createViewBut->click();

        const QString tag = m_user + QStringLiteral("__wrong");
        QCOMPARE(msgs.shown.size(), 2);
        QCOMPARE(msgs.shown[0].text, QStringLiteral("(gcsv): File does not exist --> \\\\") + HOST +
                                         configured(m_home) + QStringLiteral("\\kestrel\\_work\\") + m_user +
                                         QStringLiteral(".out"));
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(msgs.shown[1].text,
                 QStringLiteral("Failed: Could not create the view\r\n--> ") + tag +
                     QStringLiteral("\r\n\r\nMake sure that you typed in the correct password"));
        QCOMPARE(msgs.shown[1].icon, MsgIcon::Critical);
        QCOMPARE(msgs.shown[1].title, QStringLiteral("Failed to create view.."));
        QVERIFY(!tag_exists(QStringLiteral("ccase_unix"), tag));
        QVERIFY(!tag_exists(QStringLiteral("Windows"), tag));
        verify_password_hidden(msgs);
        for (const auto &e : msgs.shown)
            QVERIFY(!e.text.contains(ui()->pwdTxt->text()));
    }

    void kestrelFailed_leavesOutputAndRefreshesNothing()
    {
        const QString tag = m_user + QStringLiteral("__taken");
        cleartool(
            {"mkview", "-tag", tag, "-region", "ccase_unix", m_dir.filePath(QStringLiteral("taken.vws"))});
        MessageRecorder msgs;
        open_window();
        msgs.clear();
        // A view that appears now would show in a refreshed list.
        const QString later = m_user + QStringLiteral("__later");
        cleartool({"mkview", "-tag", later, m_dir.filePath(QStringLiteral("later.vws"))});
        const QStringList listed = items(ui()->myViewsList);
        // Never reached: ClearCase Explorer is not started after "FAILED".
        AppGlobals().config.CC_EXPLORER = QStringLiteral("true");
        select_template(QStringLiteral("taken"));
        ui()->createViewBut->click();

        QCOMPARE(msgs.texts(),
                 QStringList{QStringLiteral("Failed: Could not create the view\r\n--> ") + tag +
                             QStringLiteral("\r\n\r\nMake sure that you typed in the correct password")});
        QFile out(m_out);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(out.readAll().trimmed().endsWith("\nFAILED"));
        QVERIFY(!tag_exists(QStringLiteral("Windows"), tag));
        QCOMPARE(items(ui()->myViewsList), listed);
        QVERIFY(!listed.contains(later));
        verify_password_hidden(msgs);
    }

    void emptyOutput_endsWithNote()
    {
        MessageRecorder msgs;
        open_window();
        msgs.clear();
        AppGlobals().config.KESTREL = QStringLiteral("kestrel-empty");
        select_template(QStringLiteral("empty"));
        ui()->createViewBut->click();

        QCOMPARE(msgs.texts(), QStringList{QStringLiteral(
                                   "Note: could not determine if the view --> \r\n"
                                   "has been created. View may be based on a template file in\r\n"
                                   "which case Quillon is unable to determine if the view has been\r\n"
                                   "created.  Check My Existing View(s) list below.")});
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Finished..."));
        // The view was made on the Unix side; the clean-up still ran.
        QVERIFY(tag_exists(QStringLiteral("ccase_unix"), m_user + QStringLiteral("__empty")));
        QVERIFY(!tag_exists(QStringLiteral("Windows"), m_user + QStringLiteral("__empty")));
        QVERIFY(!QFile::exists(m_out));
        verify_password_hidden(msgs);
    }

    void capitalOutput_tagLowerCasedEverywhere()
    {
        MessageRecorder msgs;
        open_window();
        msgs.clear();
        AppGlobals().config.KESTREL = QStringLiteral("kestrel-upper");
        select_template(QStringLiteral("upper"));
        ui()->createViewBut->click();

        const QString tag = m_user + QStringLiteral("__upper");
        QCOMPARE(msgs.texts(), QStringList{success(tag)});
        QVERIFY(tag_exists(QStringLiteral("Windows"), tag));
        QVERIFY(!tag_exists(QStringLiteral("Windows"), tag.toUpper()));
        QVERIFY(items(ui()->myViewsList).contains(tag));
        QVERIFY(!QFile::exists(m_out));
    }

    void mixedCaseUser_logsInLowerCase()
    {
        QString typed = m_user;
        for (qsizetype i = 0; i < typed.size(); i += 2)
            typed[i] = typed[i].toUpper();
        QVERIFY(typed != m_user);
        MessageRecorder msgs;
        open_window(PROJECT, typed);
        QCOMPARE(AppGlobals().unix_user, typed);
        msgs.clear();
        select_template(QStringLiteral("mixed"));
        ui()->createViewBut->click();

        // A login as the typed name would be refused.
        const QString tag = m_user + QStringLiteral("__mixed");
        QCOMPARE(msgs.texts(), QStringList{success(tag)});
        QVERIFY(tag_exists(QStringLiteral("ccase_unix"), tag));
        QVERIFY(tag_exists(QStringLiteral("Windows"), tag));
        QVERIFY(!QFile::exists(m_out));
    }

    void unsafeTemplateName_runsNothing()
    {
        const int logins = accepted_logins();
        QVERIFY(logins > 0); // the earlier cases logged in
        MessageRecorder msgs;
        open_window(QStringLiteral("inj"));
        msgs.clear();
        select_template(QStringLiteral("x;touch INJECTED"));
        ui()->createViewBut->click();

        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(
            msgs.shown[0].text,
            QStringLiteral("The template file name \"x;touch INJECTED\" contains the character \";\", which "
                           "the Unix host's shell would interpret. Nothing was run."));
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Create View"));
        QVERIFY(!QFile::exists(m_home + QStringLiteral("/INJECTED")));
        QVERIFY(!QFile::exists(m_out));
        QVERIFY(!tag_exists(QStringLiteral("ccase_unix"), m_user + QStringLiteral("__x")));
        QCOMPARE(accepted_logins(), logins);
    }
};

QTEST_MAIN(TestRemoteCreate)
#include "tst_remote_create.moc"
