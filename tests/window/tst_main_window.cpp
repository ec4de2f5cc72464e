// The main window: its state after load in both modes, the mode switch, the
// configuration panel, the password box, its controls and closing it.

#include "forms/frmAbout.h"
#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "support/recorder.h"
#include "support/site.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> m_site;
    frmMain *m_window = nullptr;

    // An interop site whose alternate file is NT-only on another VOB server.
    Ui::frmMain *start(const QStringList &extra)
    {
        m_site->write_config(
            "alt.cfg", TestSite::config_lines(false, {"VOB_SERVER=ntserver", "CFG_FILE_ALTERNATE=qn.cfg"}));
        m_site->write_config("qn.cfg",
                             TestSite::config_lines(true, QStringList{"CFG_FILE_ALTERNATE=alt.cfg"} + extra));
        m_window = m_site->open();
        return m_window->ui;
    }

    static QString title(const char *mode)
    {
        return QString::asprintf("Quillon (Unix to NT) - %s Mode Version %d.%d.%d - UCM Enabled", mode,
                                 QUILLON_VERSION_MAJOR, QUILLON_VERSION_MINOR, QUILLON_VERSION_PATCH);
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { m_site = std::make_unique<TestSite>(); }
    void cleanup() { m_site.reset(); }

    void modes_afterLoad_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::addColumn<bool>("nt_only"); // the title and the mode box hidden
        QTest::addColumn<bool>("checked"); // the mode box, and so the controls it governs
        QTest::newRow("NT only, FALSE") << "IS_INTEROP=FALSE" << true << true;
        QTest::newRow("interop") << "" << false << false;
        QTest::newRow("interop, NT_ONLY True") << "NT_ONLY=True" << false << true;
    }

    void modes_afterLoad()
    {
        QFETCH(QString, extra);
        QFETCH(bool, nt_only);
        QFETCH(bool, checked);
        qputenv("CLEARCASE_PRIMARY_GROUP", "gamma");
        MessageRecorder msgs;
        Ui::frmMain *ui = start({extra});
        QCOMPARE(ui->projectCombo->currentText(), "<choose project>"); // the group is not a listed project
        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(m_window->windowTitle(), title(nt_only ? "NT Only" : "Interop"));
        QCOMPARE(ui->opModeCB->isHidden(), nt_only);
        QCOMPARE(ui->opModeCB->isChecked(), checked);
        QCOMPARE(ui->interopCB->isChecked(), !nt_only);
        for (QWidget *w : QList<QWidget *>{ui->opModeCB, ui->removeViewBut, ui->createViewBut, ui->findCoBut})
            QVERIFY2(w->isEnabled() == !checked, qPrintable(w->objectName()));
        for (QWidget *w : QList<QWidget *>{ui->unmaskPwdCB, ui->pwdTxt, ui->userNameLbl})
            QVERIFY2(w->isHidden() == checked && !w->isEnabled(), qPrintable(w->objectName()));
    }

    void primaryGroupThenModeSwitch_rereadsAlternateAndPrimary()
    {
        qputenv("CLEARCASE_PRIMARY_GROUP", "MAINLINE");
        MessageRecorder msgs;
        Ui::frmMain *ui = start({});
        QCOMPARE(ui->projectCombo->currentText(), "MAINLINE");
        ui->opModeCB->click();
        QCOMPARE(AppGlobals().config.VOB_SERVER, "ntserver");
        QCOMPARE(ui->vobServerTxt->text(), "ntserver");
        QCOMPARE(m_window->windowTitle(), title("NT Only"));
        QVERIFY(!ui->interopCB->isChecked() && ui->pwdTxt->isHidden());
        ui->opModeCB->click();
        QCOMPARE(AppGlobals().config.VOB_SERVER, "vobhost");
        QCOMPARE(m_window->windowTitle(), title("Interop"));
        QVERIFY(ui->interopCB->isChecked() && !ui->pwdTxt->isHidden());
    }

    void configPanelPasswordAndClose()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start({});
        auto config_shown = [ui](bool shown) {
            QVERIFY(ui->mainFrame->isHidden() == shown && ui->configFrame->isHidden() == !shown);
            QVERIFY(ui->createViewBut->isEnabled() == !shown && ui->reloadBut->isEnabled() == shown);
        };
        for (bool shown : {true, false, true}) {
            ui->Configuration->trigger();
            config_shown(shown);
        }
        ui->butBack->click();
        config_shown(false);

        ui->pwdTxt->setText("s3 cr*t");
        ui->unmaskPwdCB->setEnabled(true);
        for (QLineEdit::EchoMode mode : {QLineEdit::Normal, QLineEdit::Password}) {
            ui->unmaskPwdCB->click();
            QVERIFY(ui->pwdTxt->echoMode() == mode && ui->pwdTxt->text() == "s3 cr*t");
        }
        QCOMPARE(msgs.texts(), QStringList());

        AppGlobals().progress().start_progress("Working");
        AppGlobals().about().show();
        m_window->show();
        QVERIFY(AppGlobals().progress().isVisible() && AppGlobals().about().isVisible());
        QVERIFY(m_window->close()); // unloads every window
        for (QWidget *w : QApplication::topLevelWidgets())
            QTRY_VERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // While a project loads (cleartool slow), the window handles events, nothing that would start a
    // second operation is enabled or does anything, and afterwards each control is as the window wants.
    void load_disablesStarters_windowResponsive_restoresAfter()
    {
        MessageRecorder msgs;
        m_site->add_template("r6000", "dev", {"element * /main/LATEST"});
        m_site->write_config("qn.cfg", TestSite::config_lines(false));
        m_window = m_site->open();
        Ui::frmMain *ui = m_window->ui;
        QFile knobs(m_site->root() + "/ccsim/knobs");
        QVERIFY(knobs.open(QIODevice::WriteOnly));
        knobs.write("CCSIM_COST_CMD_MS=200\n");
        knobs.close();
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QStringList enabled_during;
        QTimer::singleShot(250, this, [&] {
            for (QObject *c : std::initializer_list<QObject *>{
                     ui->projectCombo, ui->createViewBut, ui->refreshBut, ui->removeViewBut, ui->detailBut,
                     ui->Reload, ui->StartView, ui->opModeCB})
                if (qobject_cast<QWidget *>(c) ? static_cast<QWidget *>(c)->isEnabled()
                                               : static_cast<QAction *>(c)->isEnabled())
                    enabled_during << c->objectName();
            QCOMPARE(m_window->activity(), Activity::LoadingProject);
            ui->refreshBut->click();
            m_window->refreshViewBut_Click(); // even a direct call waits its turn: it does nothing
        });
        m_site->pick("r6000");
        QCOMPARE(enabled_during, QStringList());
        QVERIFY2(ticks > 20, qPrintable(QString::number(ticks)));
        QCOMPARE(m_window->activity(), Activity::Idle);
        for (QWidget *w : QList<QWidget *>{ui->projectCombo, ui->createViewBut, ui->refreshBut, ui->opModeCB})
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(msgs.shown, QList<Msg>());
    }

    void controls_namesBuddiesAccessibleNamesMnemonics()
    {
        MessageRecorder msgs;
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
        QCOMPARE(m_window->findChildren<QMenu *>().size(), 4);
        for (QMenu *menu : m_window->findChildren<QMenu *>())
            QVERIFY2(menu->title().contains('&'), qPrintable(menu->objectName()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
