// The main window: its state after load in both modes, the mode switch, the
// configuration panel, the small handlers, its controls and closing it.

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
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSite> m_site;
    frmMain *m_window = nullptr;

    // An interop site whose alternate file is an NT-only one on another VOB
    // server; the extra lines go to the primary file.
    Ui::frmMain *start(const QStringList &extra)
    {
        m_site->write_config(
            QStringLiteral("alt.cfg"),
            TestSite::config_lines(false, {"VOB_SERVER=ntserver", "CFG_FILE_ALTERNATE=qn.cfg"}));
        m_site->write_config(QStringLiteral("qn.cfg"),
                             TestSite::config_lines(true, QStringList{"CFG_FILE_ALTERNATE=alt.cfg"} + extra));
        m_window = m_site->open();
        return m_window->ui;
    }

    static QString title(const char *mode)
    {
        return QStringLiteral("Quillon (Unix to NT) - %1 Mode Version %2.%3.%4 - UCM Enabled")
            .arg(QLatin1String(mode))
            .arg(QUILLON_VERSION_MAJOR)
            .arg(QUILLON_VERSION_MINOR)
            .arg(QUILLON_VERSION_PATCH);
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { m_site = std::make_unique<TestSite>(); }
    void cleanup() { m_site.reset(); }

    void modes_afterLoad_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<bool>("nt_only"); // the title and the mode box hidden
        QTest::addColumn<bool>("checked"); // the mode box, and so the controls it governs
        QTest::addColumn<bool>("interop"); // the interop box
        QTest::newRow("NT only") << QStringList{"IS_INTEROP=false"} << true << true << false;
        QTest::newRow("NT only, upper case") << QStringList{"IS_INTEROP=FALSE"} << true << true << false;
        QTest::newRow("interop") << QStringList() << false << false << true;
        QTest::newRow("interop, NT_ONLY True") << QStringList{"NT_ONLY=True"} << false << true << true;
        QTest::newRow("neither word")
            << QStringList{"IS_INTEROP=maybe", "NT_ONLY=yes"} << false << false << false;
    }

    void modes_afterLoad()
    {
        QFETCH(QStringList, extra);
        QFETCH(bool, nt_only);
        QFETCH(bool, checked);
        QFETCH(bool, interop);
        MessageRecorder msgs;
        Ui::frmMain *ui = start(extra + QStringList{"CC_EXPLORER=TRUE"});
        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(m_window->windowTitle(), title(nt_only ? "NT Only" : "Interop"));
        QCOMPARE(ui->opModeCB->isHidden(), nt_only);
        QCOMPARE(ui->opModeCB->isChecked(), checked);
        for (QWidget *w :
             QList<QWidget *>{ui->opModeCB, ui->readOnlyConfigCB, ui->removeViewBut, ui->refreshBut,
                              ui->refreshViewBut, ui->detailBut, ui->viewBut, ui->createViewBut,
                              ui->startViewBut, ui->removeViewToolBut, ui->findCoBut})
            QVERIFY2(w->isEnabled() == !checked, qPrintable(w->objectName()));
        for (QWidget *w : QList<QWidget *>{ui->unmaskPwdCB, ui->usernameMappingCB, ui->usernameMappingTxt,
                                           ui->pwdLbl, ui->pwdTxt, ui->userNameLbl})
            QVERIFY2(w->isHidden() == checked, qPrintable(w->objectName()));
        for (QWidget *w :
             QList<QWidget *>{ui->unmaskPwdCB, ui->usernameMappingCB, ui->pwdTxt, ui->usernameMappingTxt,
                              ui->interopCB, ui->useSSHCB, ui->ccExplorerCB})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QCOMPARE(ui->interopCB->isChecked(), interop);
        QVERIFY(ui->ccExplorerCB->isChecked() && !ui->useSSHCB->isChecked());
        QCOMPARE(AppGlobals().config.SSH_CMD_PATH, QStringLiteral("\\\\vobhost\\tools\\ssh\\plink"));
    }

    void primaryGroup_preselectsListedProjectOnly()
    {
        for (const char *group : {"MAINLINE", "gamma"}) {
            m_site = std::make_unique<TestSite>();
            qputenv("CLEARCASE_PRIMARY_GROUP", group);
            MessageRecorder msgs;
            Ui::frmMain *ui = start({});
            QCOMPARE(m_window->primary_group, QString::fromLatin1(group));
            QCOMPARE(ui->projectCombo->currentText(), group[0] == 'M' ? group : "<choose project>");
            QCOMPARE(ui->projectCombo->count(), 2);
        }
    }

    void modeSwitch_rereadsAlternateThenPrimary()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start({});
        ConfigRecord &c = AppGlobals().config;
        QVERIFY(ui->opModeCB->isEnabled());
        ui->opModeCB->click(); // no project chosen: nothing is re-read
        QCOMPARE(c.VOB_SERVER, QStringLiteral("vobhost"));
        QCOMPARE(m_window->windowTitle(), title("Interop"));
        ui->opModeCB->click();

        ui->projectCombo->setCurrentIndex(ui->projectCombo->findText(QStringLiteral("r6000")));
        ui->opModeCB->click();
        QCOMPARE(c.VOB_SERVER, QStringLiteral("ntserver"));
        QCOMPARE(ui->vobServerTxt->text(), QStringLiteral("ntserver"));
        QCOMPARE(ui->alternateCfgTxt->text(), QStringLiteral("qn.cfg"));
        QCOMPARE(m_window->windowTitle(), title("NT Only"));
        QVERIFY(!ui->interopCB->isChecked() && ui->pwdTxt->isHidden());
        QCOMPARE(ui->projectCombo->currentText(), QStringLiteral("r6000"));

        ui->opModeCB->click();
        QCOMPARE(c.VOB_SERVER, QStringLiteral("vobhost"));
        QCOMPARE(ui->vobServerTxt->text(), QStringLiteral("vobhost"));
        QCOMPARE(m_window->windowTitle(), title("Interop"));
        QVERIFY(ui->interopCB->isChecked() && !ui->pwdTxt->isHidden());
        QCOMPARE(c.SSH_CMD_PATH, c.SSH_HOME + QStringLiteral("\\plink")); // keeps its start value
    }

    void configPanel_toggleReloadAndBack()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start({"IS_INTEROP=false"});
        auto config_shown = [ui](bool shown) {
            QCOMPARE(ui->mainFrame->isHidden(), shown);
            QCOMPARE(ui->configFrame->isHidden(), !shown);
            QCOMPARE(ui->createViewBut->isEnabled(), !shown);
            QCOMPARE(ui->startViewBut->isEnabled(), !shown);
            QCOMPARE(ui->reloadBut->isEnabled(), shown);
        };
        ui->Configuration->trigger();
        config_shown(true);
        ui->Configuration->trigger();
        config_shown(false);
        ui->Configuration->trigger();
        m_site->write_config(QStringLiteral("qn.cfg"), TestSite::config_lines(false, {"VOB_SERVER=other"}));
        ui->Reload->trigger();
        QCOMPARE(ui->vobServerTxt->text(), QStringLiteral("other"));
        config_shown(true);
        ui->butBack->click();
        config_shown(false);
        QCOMPARE(msgs.texts(), QStringList());
    }

    void smallHandlers()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start({});
        ui->pwdTxt->setText(QStringLiteral("s3 cr*t"));
        ui->unmaskPwdCB->setEnabled(true);
        for (QLineEdit::EchoMode mode : {QLineEdit::Normal, QLineEdit::Password}) {
            ui->unmaskPwdCB->click();
            QCOMPARE(ui->pwdTxt->echoMode(), mode);
            QCOMPARE(ui->pwdTxt->text(), QStringLiteral("s3 cr*t"));
        }
        ui->usernameMappingCB->setEnabled(true);
        for (bool enabled : {true, false}) {
            ui->usernameMappingCB->click();
            QCOMPARE(ui->usernameMappingTxt->isEnabled(), enabled);
        }
        ui->myViewsList->addItem(QStringLiteral("jdoe__a_rather_long_view_tag_name"));
        ui->myViewsList->setCurrentRow(0);
        QCOMPARE(ui->myViewsList->toolTip(), QStringLiteral("jdoe__a_rather_long_view_tag_name"));
        QCOMPARE(msgs.texts(), QStringList());
    }

    void controls_namedAccessibleCaptionedWithMnemonics()
    {
        MessageRecorder msgs;
        start({});
        // Labels and their buddies; then the other controls by name.
        const QString buddies = QStringLiteral(
            "projectLbl:projectCombo pwdLbl:pwdTxt selectViewLbl:viewsList myViewsLbl:myViewsList "
            "hostLbl:hostTxt "
            "vobServerLbl:vobServerTxt helpDeskLbl:helpDeskTxt viewStorageLbl:viewStorageTxt "
            "adminLbl:adminTxt "
            "alternateCfgLbl:alternateCfgTxt kestrelCmdLbl:kestrelCmdTxt kestrelHomeLbl:kestrelHomeTxt "
            "kestrelConfigLbl:kestrelConfigTxt sshCmdLbl:sshCmdTxt sshCmdHomeLbl:sshCmdHomeTxt "
            "regionLbl:regionCombo useEditorLbl:useEditorTxt");
        for (const QString &pair : buddies.split(QLatin1Char(' '))) {
            const auto *label = m_window->findChild<QLabel *>(pair.section(QLatin1Char(':'), 0, 0));
            QVERIFY2(label && label->buddy(), qPrintable(pair));
            QCOMPARE(label->buddy()->objectName(), pair.section(QLatin1Char(':'), 1));
        }
        const QString names = QStringLiteral(
            "createViewBut removeViewToolBut findCoBut Command1 helpBut reloadBut startViewBut helpDeskBut "
            "showConfigBut cancelBut mainFrame configFrame logoImage Label1 txtMsg txtConfigSpec "
            "removeViewBut "
            "refreshViewBut viewBut opModeCB refreshBut detailBut unmaskPwdCB usernameMappingTxt descTxt "
            "usernameMappingCB viewStatusList Line4 userNameLbl Image1 butBack readOnlyConfigCB interopCB "
            "useSSHCB ccExplorerCB Line3 cfgFileLbl Line2 Line1");
        for (const QString &name : names.split(QLatin1Char(' ')))
            QVERIFY2(m_window->findChild<QWidget *>(name), qPrintable(name));

        int operated = 0;
        for (QWidget *w : m_window->findChildren<QWidget *>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) ||
                qobject_cast<QComboBox *>(w->parentWidget()))
                continue; // pieces Qt makes inside its own controls
            if (!qobject_cast<QAbstractButton *>(w) && !qobject_cast<QLineEdit *>(w) &&
                !qobject_cast<QPlainTextEdit *>(w) && !qobject_cast<QComboBox *>(w) &&
                !qobject_cast<QListWidget *>(w))
                continue;
            ++operated;
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            QVERIFY2(w->toolTip().isEmpty() || w->accessibleDescription() == w->toolTip(),
                     qPrintable(w->objectName()));
        }
        QVERIFY(operated >= 40);

        const QList<QMenu *> menus = m_window->findChildren<QMenu *>();
        QCOMPARE(menus.size(), 4);
        for (QMenu *menu : menus) {
            QVERIFY2(menu->title().contains(QLatin1Char('&')), qPrintable(menu->objectName()));
            for (QAction *a : menu->actions())
                QVERIFY2(a->isSeparator() || !a->text().isEmpty(), qPrintable(a->objectName()));
        }
    }

    void close_unloadsEveryWindow()
    {
        MessageRecorder msgs;
        start({"IS_INTEROP=false"});
        AppGlobalsData &g = AppGlobals();
        g.progress().start_progress(QStringLiteral("Working"));
        g.about().show();
        m_window->show();
        QVERIFY(g.progress().isVisible() && g.about().isVisible());
        QVERIFY(m_window->close());
        QTRY_VERIFY(!m_window->isVisible());
        for (QWidget *w : QApplication::topLevelWidgets())
            QTRY_VERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
