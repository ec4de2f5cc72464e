// "Create View" in local mode against the simulator and the Kestrel
// stand-in on a share of the test's own, and the early ways out of a run.

#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "support/recorder.h"
#include "ui_frmMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
const QString SIM_BIN = QStringLiteral(QUILLON_SIM_BIN_DIR);

void write_file(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

QString cleartool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("cleartool"), args);
    p.waitForFinished();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QStringList items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}
} // namespace

class TestCreateView : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_kestrel_home; // local path of \\vobhost\ccstorage\utils\kestrel
    QString m_calls;        // one line per Kestrel run
    frmMain *m_w = nullptr;
    // The templates in the order the list shows them. Selecting a template
    // also selects its existing view; the first one is selected by every
    // reload, so the view a test makes comes from the second.
    QString m_first;
    QString m_second;

    Ui::frmMain *ui() { return m_w->ui; }

    QStringList kestrel_calls() const
    {
        QFile f(m_calls);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

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

    QString status_of(const QString &file) const
    {
        const auto &templates = AppGlobals().view_templates;
        for (size_t i = 0; i < templates.size(); ++i) {
            if (templates[i].file_name == file)
                return m_w->ui->viewStatusList->item(int(i))->text();
        }
        return QString();
    }

    // The run left neither the progress window nor the hourglass behind.
    void verify_cleared()
    {
        QVERIFY(!AppGlobals().progress().isVisible());
        QVERIFY(m_w->cursor().shape() != Qt::WaitCursor);
    }

    void open_window(const QString &project)
    {
        m_w = new frmMain;
        AppGlobalsData &g = AppGlobals();
        g.main_window = m_w;
        set_config_keys(g.config);
        g.config.CFG_FILE = QStringLiteral("qn.cfg");
        read_config_file(m_dir.filePath(QStringLiteral("program")) + QStringLiteral("\\qn.cfg"), g.config);
        m_w->load();
        m_w->first_click_done = true; // the mode switch would read the same file again
        ui()->projectCombo->setEditText(project);
        m_w->projectCombo_Click();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString share = m_dir.filePath(QStringLiteral("unc/vobhost"));
        m_kestrel_home = share + QStringLiteral("/ccstorage/utils/kestrel");
        m_calls = m_dir.filePath(QStringLiteral("kestrel.calls"));
        QVERIFY(QDir().mkpath(m_kestrel_home));
        QVERIFY(QFile::copy(SIM_BIN + QStringLiteral("/kestrel"),
                            m_kestrel_home + QStringLiteral("/kestrel.real")));
        // Kestrel as the program runs it: notes each run, then the stand-in.
        write_file(m_kestrel_home + QStringLiteral("/kestrel"),
                   "#!/bin/sh\necho \"$*\" >>'" + m_calls.toLocal8Bit() +
                       "'\nexec \"$(dirname \"$0\")/kestrel.real\" \"$@\"\n");
        for (const char *f : {"/kestrel", "/kestrel.real"})
            QFile::setPermissions(m_kestrel_home + QLatin1String(f), QFile::ReadOwner | QFile::WriteOwner |
                                                                         QFile::ExeOwner | QFile::ReadOther |
                                                                         QFile::ExeOther);
        write_file(m_kestrel_home + QStringLiteral("/kestrel.conf"),
                   "CLEARTOOL=" + SIM_BIN.toLocal8Bit() +
                       "/cleartool\nCCSIM_HOME=" + m_dir.filePath(QStringLiteral("ccsim")).toLocal8Bit() +
                       "\nCCSIM_REGION=Windows\nKESTREL_STORAGE=" + share.toLocal8Bit() +
                       "/ccstg/views\nKESTREL_HOST=vobhost\n");
        const QByteArray tmpl =
            "#Kestrel_Description: development\r\nelement * CHECKEDOUT\r\nelement * /main/LATEST\r\n";
        write_file(m_kestrel_home + QStringLiteral("/config/proj/dev"), tmpl);
        write_file(m_kestrel_home + QStringLiteral("/config/proj/rel"), tmpl);
        QVERIFY(QDir().mkpath(m_kestrel_home + QStringLiteral("/config/empty")));
        const QStringList order =
            QDir(m_kestrel_home + QStringLiteral("/config/proj")).entryList(QDir::Files, QDir::Unsorted);
        QCOMPARE(order.size(), 2);
        m_first = order[0];
        m_second = order[1];

        write_file(m_dir.filePath(QStringLiteral("program/qn.cfg")),
                   "HOST=vobhost\r\nVOB_SERVER=vobhost\r\nKESTREL=kestrel\r\n"
                   "KESTREL_HOME=\\ccstorage\\utils\\kestrel\r\n"
                   "KESTREL_CONFIG=\\ccstorage\\utils\\kestrel\\config\r\n"
                   "SSH_CMD=plink\r\nSSH_HOME=\\\\vobhost\\tools\\ssh\r\n"
                   "VIEW_STORAGE=\\\\vobhost\\ccstg\\views\r\n"
                   "PROJECT=proj\r\nPROJECT=empty\r\nADMIN=jdoe\r\n"
                   "NT_ONLY=true\r\nCC_EXPLORER=false\r\nIS_INTEROP=false\r\nUSE_SSH=false\r\n");

        qputenv("QUILLON_PROGRAM_DIR", m_dir.filePath(QStringLiteral("program")).toLocal8Bit());
        qputenv("QUILLON_UNC_ROOT", m_dir.filePath(QStringLiteral("unc")).toLocal8Bit());
        qputenv("CCSIM_HOME", m_dir.filePath(QStringLiteral("ccsim")).toLocal8Bit());
        qunsetenv("CCSIM_REGION");
        qunsetenv("CLEARCASE_PRIMARY_GROUP");
    }

    void init()
    {
        // A fresh registry holding one earlier view of the user, so that a
        // new view is not the first of "My Existing View(s)".
        QDir(m_dir.filePath(QStringLiteral("ccsim"))).removeRecursively();
        QDir(m_dir.filePath(QStringLiteral("unc/vobhost/ccstg"))).removeRecursively();
        QFile::remove(m_calls);
        cleartool({QStringLiteral("mkview"), QStringLiteral("-tag"), QStringLiteral("jdoe__aaa"),
                   m_dir.filePath(QStringLiteral("aaa.vws"))});
        qputenv("USER", "JDoe");
    }

    void cleanup()
    {
        delete m_w;
        m_w = nullptr;
        AppGlobals().progress().stop_progress();
    }

    void local_createsViewRefreshesAndSelects()
    {
        MessageRecorder msgs;
        open_window(QStringLiteral("proj"));
        QCOMPARE(items(ui()->viewsList), (QStringList{"jdoe__" + m_first, "jdoe__" + m_second}));
        QCOMPARE(items(ui()->myViewsList), QStringList{"jdoe__aaa"});
        QCOMPARE(status_of(m_second), QStringLiteral("U"));
        msgs.clear();

        select_template(m_second);
        ui()->createViewBut->click();

        // The local tag keeps the login name's letter case.
        const QString tag = "JDoe__" + m_second;
        QCOMPARE(kestrel_calls(), QStringList{"-tag " + tag + " -cfg " + m_kestrel_home + "/config/proj"});
        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(msgs.shown[0].text, "Success: the view --> " + tag + "\r\nhas been created.");
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Information);
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Finished..."));
        QVERIFY(cleartool({"lsview", "-short", tag}).contains(tag));
        // Both lists refreshed; the new view is the selected one.
        QCOMPARE(items(ui()->myViewsList), (QStringList{"jdoe__aaa", tag}));
        QCOMPARE(ui()->myViewsList->currentItem()->text(), tag);
        QVERIFY(QStringList({"A", "C"}).contains(status_of(m_second)));
        QCOMPARE(status_of(m_first), QStringLiteral("U"));
        verify_cleared();
    }

    void local_otherLetterCaseInListIsNotSelected()
    {
        // "My Existing View(s)" shows jdoe__<t>; the run makes JDoe__<t>,
        // which the list, ignoring case, does not show a second time.
        cleartool({"mkview", "-tag", "jdoe__" + m_second, m_dir.filePath(QStringLiteral("other.vws"))});
        MessageRecorder msgs;
        open_window(QStringLiteral("proj"));
        msgs.clear();
        select_template(m_second);
        ui()->myViewsList->setCurrentRow(0);
        ui()->createViewBut->click();

        QCOMPARE(msgs.texts(),
                 QStringList{"Success: the view --> JDoe__" + m_second + "\r\nhas been created."});
        QCOMPARE(items(ui()->myViewsList), (QStringList{"jdoe__aaa", "jdoe__" + m_second}));
        QCOMPARE(ui()->myViewsList->currentRow(), 0); // as the refresh left it
    }

    void remote_emptyPasswordRunsNothing()
    {
        MessageRecorder msgs;
        open_window(QStringLiteral("proj"));
        msgs.clear();
        AppGlobals().config.IS_INTEROP = QStringLiteral("true");
        ui()->pwdTxt->clear();
        ui()->pwdTxt->setEnabled(false);
        ui()->createViewBut->click();

        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(msgs.shown[0].text,
                 QStringLiteral("You must type in the password \r\nfor your unix account\r\n"));
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Quillon"));
        QVERIFY(ui()->pwdTxt->isEnabled());
        QVERIFY(kestrel_calls().isEmpty());
        verify_cleared();

        // "True" is not "true": local mode, no password asked for.
        msgs.clear();
        AppGlobals().config.IS_INTEROP = QStringLiteral("True");
        select_template(m_second);
        ui()->createViewBut->click();
        QCOMPARE(kestrel_calls().size(), 1);
        QCOMPARE(msgs.texts(),
                 QStringList{"Success: the view --> JDoe__" + m_second + "\r\nhas been created."});
    }

    void emptyListAndNoSelection()
    {
        MessageRecorder msgs;
        open_window(QStringLiteral("empty"));
        QCOMPARE(ui()->viewsList->count(), 0);
        msgs.clear();
        ui()->createViewBut->click();
        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(msgs.shown[0].text, QStringLiteral("There are no views to create "));
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Quillon"));

        ui()->projectCombo->setEditText(QStringLiteral("proj"));
        m_w->projectCombo_Click();
        ui()->viewsList->setCurrentRow(-1);
        msgs.clear();
        ui()->createViewBut->click();
        QCOMPARE(msgs.shown.size(), 1);
        QCOMPARE(msgs.shown[0].text,
                 QStringLiteral("Error::Subscript out of range\r\nCould not create view"));
        QCOMPARE(msgs.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Error creating view..."));
        QVERIFY(kestrel_calls().isEmpty());
        verify_cleared();

        // Neither way out leaves the run marked as under way.
        select_template(m_first);
        ui()->createViewBut->click();
        QCOMPARE(kestrel_calls().size(), 1);
    }

    void explorerMissingEndsInErrorBeforeRefresh()
    {
        MessageRecorder msgs;
        open_window(QStringLiteral("proj"));
        msgs.clear();
        AppGlobals().config.CC_EXPLORER = QStringLiteral("true");
        select_template(m_second);
        ui()->createViewBut->click();

        QCOMPARE(kestrel_calls().size(), 1);
        QCOMPARE(msgs.shown.size(), 1);
        QVERIFY2(msgs.shown[0].text.startsWith(QLatin1String("Error::")) &&
                     msgs.shown[0].text.endsWith(QLatin1String("\r\nCould not create view")),
                 qPrintable(msgs.shown[0].text));
        QCOMPARE(msgs.shown[0].title, QStringLiteral("Error creating view..."));
        // The view was made, but neither list was refreshed.
        QVERIFY(cleartool({"lsview", "-short", "JDoe__" + m_second}).contains("JDoe__" + m_second));
        QCOMPARE(items(ui()->myViewsList), QStringList{"jdoe__aaa"});
        QCOMPARE(status_of(m_second), QStringLiteral("U"));
        verify_cleared();
    }

    void secondClickDuringRunIsIgnored()
    {
        MessageRecorder msgs;
        open_window(QStringLiteral("proj"));
        msgs.clear();
        select_template(m_second);
        bool fired = false;
        // Handled inside the first run, which keeps the window's events going.
        QTimer::singleShot(0, this, [&] {
            fired = true;
            ui()->createViewBut->click();
        });
        ui()->createViewBut->click();
        QVERIFY(fired);
        QCOMPARE(kestrel_calls().size(), 1);
        QCOMPARE(msgs.texts(),
                 QStringList{"Success: the view --> JDoe__" + m_second + "\r\nhas been created."});

        // Once the run is over, the next click runs.
        select_template(m_first);
        ui()->createViewBut->click();
        QCOMPARE(kestrel_calls().size(), 2);
    }

    void noteWhenNothingIsCreated()
    {
        MessageRecorder msgs;
        open_window(QStringLiteral("proj"));
        msgs.clear();
        AppGlobals().config.KESTREL = QStringLiteral("no-such-kestrel");
        select_template(m_second);
        ui()->createViewBut->click();

        // The runner's own report comes first, then the note.
        QCOMPARE(msgs.shown.size(), 2);
        QVERIFY(msgs.shown[0].text.contains(QLatin1String("no-such-kestrel")));
        QCOMPARE(msgs.shown[1].text,
                 "Note: could not determine if the view --> JDoe__" + m_second +
                     QStringLiteral("\r\n"
                                    "has been created. View may be based on a template file in\r\n"
                                    "which case Quillon is unable to determine if the view has been\r\n"
                                    "created.  Check My Existing View(s) list below."));
        QCOMPARE(msgs.shown[1].icon, MsgIcon::Information);
        QCOMPARE(msgs.shown[1].title, QStringLiteral("Finished..."));
        QCOMPARE(items(ui()->myViewsList), QStringList{"jdoe__aaa"});
        verify_cleared();
    }
};

QTEST_MAIN(TestCreateView)
#include "tst_create_view.moc"
