// The main window driven as a user does: its state after load in both modes, the configuration
// applied to it, the mode switch, the configuration panel, the password box, the controls while a
// load runs, its controls' names and closing it.

#include "support/window_test.h"
#include "ui/appglobals.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestMainWindow : public WindowTest {
    Q_OBJECT

    frmMain *m_window = nullptr;

    bool enabled(const char *name)
    {
        if (auto *a = m_window->findChild<QAction *>(QString::fromLatin1(name)))
            return a->isEnabled();
        return find(name)->isEnabled();
    }

    // An interop site whose alternate file is NT-only on another VOB server.
    void start(const QStringList &extra)
    {
        site->writeConfig("alt.cfg",
                          TestSite::configLines(false, {"VOB_SERVER=ntserver", "CFG_FILE_ALTERNATE=qn.cfg"}));
        site->writeConfig("qn.cfg",
                          TestSite::configLines(true, QStringList{"CFG_FILE_ALTERNATE=alt.cfg"} + extra));
        m_window = site->open();
    }

    QStringList projects()
    {
        auto *combo = find<QComboBox>("projectCombo");
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }

    static QString title(const char *mode)
    {
        return QString::asprintf("Quillon (Unix to NT) - %s Mode Version %d.%d.%d - UCM Enabled", mode,
                                 QUILLON_VERSION_MAJOR, QUILLON_VERSION_MINOR, QUILLON_VERSION_PATCH);
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        site = std::make_unique<TestSite>();
        msgs.clear();
    }

    void modes_afterLoad_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::addColumn<bool>("ntOnly");  // the title and the mode box hidden
        QTest::addColumn<bool>("checked"); // the mode box, and so the controls it governs
        QTest::newRow("NT only, FALSE") << "IS_INTEROP=FALSE" << true << true;
        QTest::newRow("interop") << "" << false << false;
        QTest::newRow("interop, NT_ONLY True") << "NT_ONLY=True" << false << true;
    }

    void modes_afterLoad()
    {
        QFETCH(QString, extra);
        QFETCH(bool, ntOnly);
        QFETCH(bool, checked);
        qputenv("CLEARCASE_PRIMARY_GROUP", "gamma");
        start({extra});
        QCOMPARE(find<QComboBox>("projectCombo")->currentText(), "<choose project>"); // not a listed project
        QCOMPARE(msgs.shown, QList<Msg>());
        QCOMPARE(m_window->windowTitle(), title(ntOnly ? "NT Only" : "Interop"));
        QCOMPARE(find("opModeCB")->isHidden(), ntOnly);
        QCOMPARE(find<QCheckBox>("opModeCB")->isChecked(), checked);
        QCOMPARE(find<QCheckBox>("interopCB")->isChecked(), !ntOnly);
        for (const char *w : {"opModeCB", "removeViewBut", "createViewBut", "findCoBut"})
            QVERIFY2(enabled(w) == !checked, w);
        for (const char *w : {"unmaskPwdCB", "pwdTxt", "userNameLbl"})
            QVERIFY2(find(w)->isHidden() == checked && !enabled(w), w);
    }

    void primaryGroupThenModeSwitch_rereadsAlternateAndPrimary()
    {
        qputenv("CLEARCASE_PRIMARY_GROUP", "MAINLINE");
        start({});
        QCOMPARE(find<QComboBox>("projectCombo")->currentText(), "MAINLINE");
        gui().click("opModeCB");
        QVERIFY(AppGlobals().config.VOB_SERVER == "ntserver" &&
                find<QLineEdit>("vobServerTxt")->text() == "ntserver");
        QCOMPARE(m_window->windowTitle(), title("NT Only"));
        QVERIFY(!find<QCheckBox>("interopCB")->isChecked() && find("pwdTxt")->isHidden());
        gui().click("opModeCB");
        QCOMPARE(AppGlobals().config.VOB_SERVER, "vobhost");
        QCOMPARE(m_window->windowTitle(), title("Interop"));
        QVERIFY(find<QCheckBox>("interopCB")->isChecked() && !find("pwdTxt")->isHidden());
    }

    // The projects of a file, once each ignoring case, sorted ignoring case, the first spelling kept,
    // also for a file of twenty thousand; a reload adds new ones and removes none.
    void projects_onceSorted_reloadKeepsOld()
    {
        QStringList lines{"ADMIN=jdoe", "PROJECT=zeta", "PROJECT=alpha", "PROJECT=Alpha"};
        for (int i = 0; i < 20000; ++i)
            lines << QStringLiteral("PROJECT=p%1").arg(i);
        site->writeConfig("qn.cfg", lines);
        m_window = site->open();
        const QStringList items = projects();
        QCOMPARE(items.size(), 20002);
        QStringList sorted = items;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        QCOMPARE(items, sorted);
        QVERIFY(items.contains("alpha") && !items.contains("Alpha"));

        site->writeConfig("qn.cfg", {"PROJECT=gamma", "HOST=reloaded", "ADMIN=jdoe"});
        QVERIFY(gui().trigger("Configuration"));
        QVERIFY(gui().trigger("Reload"));
        QCOMPARE(projects().size(), 20003);
        QVERIFY(projects().contains("zeta") && projects().contains("gamma"));
        QCOMPARE(find<QLineEdit>("hostTxt")->text(), "reloaded");
        QCOMPARE(msgs.shown, QList<Msg>());
    }

    // The mode box needs a usable alternate file; the View button and the configuration button need
    // the login inside ADMIN; a missing or unreadable file says so and disables nothing.
    void configurationApplied_checksAndFailures()
    {
        qputenv("USER", "bob");
        qputenv("USERNAME", "bob"); // Windows' name for it
        site->writeConfig("qn.cfg", {"CFG_FILE_ALTERNATE=none.cfg", "ADMIN=jdoe,asmith", "NT_ONLY=false"});
        m_window = site->open();
        QVERIFY(!enabled("viewBut") && !enabled("showConfigBut"));
        QVERIFY(!find<QCheckBox>("opModeCB")->isEnabled());

        m_window = site->open("absent.cfg");
        // Looked for beside QUILLON_PROGRAM_DIR, the program, then the system folders: the last is named.
        QCOMPARE(msgs.shown,
                 (QList<Msg>{{"File does not exist --> " +
                                  QDir::toNativeSeparators(site->root() + "/xdg/quillon/absent.cfg"),
                              MsgIcon::Critical}}));
        QCOMPARE(AppGlobals().config.CFG_FILE, "qn.cfg");
        msgs.clear();
        const QString target = "/proc/sys/vm/drop_caches"; // refused even to root
        QFile probe(target);
        if (QDir::listSeparator() == ';')
            QSKIP("links are shortcut files on Windows: no link here names a file that refuses reading");
        if (!QFileInfo(target).isFile() || probe.open(QIODevice::ReadOnly))
            QSKIP("no readable-refused file on this system");
        QVERIFY(QFile::link(target, site->programDir() + "/refused.cfg"));
        m_window = site->open("refused.cfg");
        QCOMPARE(msgs.shown, (QList<Msg>{{"Error processing config file --> " + site->programDir() +
                                              "/refused.cfg:: " + probe.errorString(),
                                          MsgIcon::Critical}}));
    }

    void configPanelPasswordAndClose()
    {
        start({});
        auto config_shown = [this](bool shown) {
            QVERIFY(find("mainFrame")->isHidden() == shown && find("configFrame")->isHidden() == !shown);
            QVERIFY(enabled("createViewBut") == !shown && enabled("reloadBut") == shown);
        };
        QVERIFY(gui().trigger("Configuration"));
        config_shown(true);
        gui().click("butBack");
        config_shown(false);

        // The password box: Unmask shows the text plainly and never changes it.
        find("unmaskPwdCB")->setEnabled(true);
        find("pwdTxt")->setEnabled(true);
        gui().type("pwdTxt", "s3 cr*t");
        auto *pwd = find<QLineEdit>("pwdTxt");
        for (QLineEdit::EchoMode mode : {QLineEdit::Normal, QLineEdit::Password}) {
            gui().click("unmaskPwdCB");
            QVERIFY(pwd->echoMode() == mode && pwd->text() == "s3 cr*t");
        }
        QCOMPARE(msgs.shown, QList<Msg>());

        AppGlobals().progress().start_progress("Working");
        AppGlobals().about().show();
        QVERIFY(AppGlobals().progress().isVisible() && AppGlobals().about().isVisible());
        QVERIFY(m_window->close()); // unloads every window
        for (QWidget *w : QApplication::topLevelWidgets())
            QTRY_VERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // While a project loads (cleartool slow), the window handles events, nothing that would start a
    // second operation is enabled or does anything, and afterwards each control is as the window wants.
    void load_disablesStarters_windowResponsive_restoresAfter()
    {
        site->addTemplate("r6000", "dev", {"element * /main/LATEST"});
        site->writeConfig("qn.cfg", TestSite::configLines(false));
        m_window = site->open();
        site->setKnobs("CCSIM_COST_CMD_MS=200\n");
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QStringList enabled_during;
        QTimer::singleShot(250, this, [&] {
            for (const char *c : {"projectCombo", "createViewBut", "refreshBut", "refreshViewBut",
                                  "removeViewBut", "detailBut", "Reload", "StartView", "opModeCB"})
                if (enabled(c))
                    enabled_during << c;
            QCOMPARE(m_window->activity(), Activity::LoadingProject);
            gui().click("refreshBut");
            QVERIFY(!gui().trigger("Reload"));
        });
        site->pick("r6000");
        QCOMPARE(enabled_during, QStringList());
        QVERIFY2(ticks > 20, qPrintable(QString::number(ticks)));
        QCOMPARE(m_window->activity(), Activity::Idle);
        for (const char *w : {"projectCombo", "createViewBut", "refreshBut", "opModeCB"})
            QVERIFY2(enabled(w), w);
        QCOMPARE(msgs.shown, QList<Msg>());
    }

    void controls_namesBuddiesAccessibleNamesMnemonics()
    {
        start({});
        const QString expected = // "label:buddy" or a control
            "projectLbl:projectCombo pwdLbl:pwdTxt selectViewLbl:viewsList myViewsLbl:myViewsList "
            "hostLbl:hostTxt vobServerLbl:vobServerTxt helpDeskLbl:helpDeskTxt viewStorageLbl:viewStorageTxt "
            "adminLbl:adminTxt alternateCfgLbl:alternateCfgTxt kestrelCmdLbl:kestrelCmdTxt "
            "kestrelHomeLbl:kestrelHomeTxt kestrelConfigLbl:kestrelConfigTxt sshCmdLbl:sshCmdTxt "
            "sshCmdHomeLbl:sshCmdHomeTxt regionLbl:regionCombo useEditorLbl:useEditorTxt createViewBut "
            "removeViewToolBut findCoBut Command1 helpBut reloadBut startViewBut helpDeskBut showConfigBut "
            "cancelBut txtMsg removeViewBut refreshViewBut viewBut opModeCB refreshBut "
            "detailBut unmaskPwdCB usernameMappingTxt descTxt usernameMappingCB viewStatusList butBack "
            "readOnlyConfigCB interopCB useSSHCB ccExplorerCB";
        QStringList found;
        for (QWidget *w : m_window->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<QLabel *>(w);
            found << w->objectName() +
                         (label && label->buddy() ? ":" + label->buddy()->objectName() : QString());
        }
        for (const QString &name : expected.split(' ')) {
            const auto *w = m_window->findChild<QWidget *>(name.section(':', -1));
            QVERIFY2(found.contains(name) && w && !w->accessibleName().isEmpty(), qPrintable(name));
        }
        QStringList menus; // each with its key
        for (QAction *entry : m_window->menuBar()->actions())
            menus << entry->menu()->objectName() + (entry->menu()->title().contains('&') ? "" : " (no key)");
        QCOMPARE(menus, (QStringList{"File", "Tools", "Admin", "Help"}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
