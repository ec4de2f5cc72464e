// The main window: its state after load in both modes, the mode switch, the
// configuration panel, the small handlers, its controls and closing it.

#include "forms/frmAbout.h"
#include "forms/frmMain.h"
#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "main/config.h"
#include "support/recorder.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    frmMain *m_window = nullptr;

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // What Main does after the single-instance check: key names, the
    // window, the file, then the window's load.
    Ui::frmMain *start(const QByteArray &primary)
    {
        write(QStringLiteral("qn.cfg"), primary);
        AppGlobalsData &g = AppGlobals();
        set_config_keys(g.config);
        g.config.CFG_FILE = QStringLiteral("qn.cfg");
        m_window = new frmMain;
        g.main_window = m_window;
        read_config_file(m_dir.path() + QStringLiteral("\\qn.cfg"), g.config);
        m_window->load();
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

    static QList<QWidget *> action_controls(Ui::frmMain *ui)
    {
        return {ui->opModeCB,       ui->readOnlyConfigCB,  ui->removeViewBut, ui->refreshBut,
                ui->refreshViewBut, ui->detailBut,         ui->viewBut,       ui->createViewBut,
                ui->startViewBut,   ui->removeViewToolBut, ui->findCoBut};
    }

    static QList<QWidget *> password_controls(Ui::frmMain *ui)
    {
        return {ui->unmaskPwdCB, ui->usernameMappingCB, ui->usernameMappingTxt, ui->pwdLbl,
                ui->pwdTxt,      ui->userNameLbl};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QApplication::setQuitOnLastWindowClosed(false);
        qputenv("QUILLON_PROGRAM_DIR", m_dir.path().toLocal8Bit());
        qputenv("QUILLON_UNC_ROOT", m_dir.filePath(QStringLiteral("unc")).toLocal8Bit());
        qputenv("USER", "jdoe");
        for (const char *host : {"vobhost", "hosta", "hostb"})
            QVERIFY(QDir(m_dir.path())
                        .mkpath(QStringLiteral("unc/%1/ccstorage/utils/kestrel/config/alpha")
                                    .arg(QLatin1String(host))));
        write(QStringLiteral("alt.cfg"), "IS_INTEROP=false\r\n");
    }

    void init() { qunsetenv("CLEARCASE_PRIMARY_GROUP"); }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
    }

    void freshWindow_initialStates()
    {
        frmMain w;
        Ui::frmMain *ui = w.ui;
        QVERIFY(ui->opModeCB->isChecked());
        QVERIFY(!ui->reloadBut->isEnabled());
        QVERIFY(!ui->usernameMappingTxt->isEnabled());
        QCOMPARE(ui->usernameMappingTxt->text(), QStringLiteral("<enter user name>"));
        QVERIFY(!ui->viewStatusList->isEnabled());
        QVERIFY(ui->txtMsg->isReadOnly() && ui->txtConfigSpec->isReadOnly() && ui->descTxt->isReadOnly());
        QCOMPARE(ui->pwdTxt->echoMode(), QLineEdit::Password);
        QVERIFY(!ui->unmaskPwdCB->isChecked() && !ui->usernameMappingCB->isChecked());
        QVERIFY(ui->projectCombo->isEditable());
        QCOMPARE(ui->projectCombo->count(), 0);
        QCOMPARE(ui->projectCombo->currentText(), QStringLiteral("<choose project>"));
        QCOMPARE(ui->regionCombo->count(), 3);
        QCOMPARE(ui->regionCombo->itemText(1), QStringLiteral("WindowsVeldt"));
        QCOMPARE(ui->regionCombo->itemText(2), QStringLiteral("ccase_sun"));
        QCOMPARE(ui->useEditorTxt->text(), QStringLiteral("notepad"));
        QCOMPARE(ui->sshCmdTxt->text(), QStringLiteral("plink-x86.exe"));
        QCOMPARE(ui->configFrame->title(), QStringLiteral("Current Configuration ( View Only )"));
        QVERIFY(ui->configFrame->isHidden() && !ui->mainFrame->isHidden());
        QVERIFY(ui->txtMsg->isHidden() && ui->txtConfigSpec->isHidden());
    }

    void interopNeitherWord_keepsBoxAndShowsInteropTitle()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start("IS_INTEROP=true\r\nNT_ONLY=false\r\n");
        QVERIFY(ui->interopCB->isChecked());
        AppGlobals().config.IS_INTEROP = QStringLiteral("maybe");
        m_window->set_gui_values();
        QVERIFY(ui->interopCB->isChecked());
        QCOMPARE(m_window->windowTitle(), title("Interop"));
    }

    void ntOnlyMode_afterLoad_data()
    {
        QTest::addColumn<QByteArray>("interop");
        QTest::newRow("lower case") << QByteArray("false");
        QTest::newRow("upper case") << QByteArray("FALSE");
    }

    void ntOnlyMode_afterLoad()
    {
        QFETCH(QByteArray, interop);
        MessageRecorder msgs;
        Ui::frmMain *ui = start("IS_INTEROP=" + interop +
                                "\r\nNT_ONLY=false\r\nPROJECT=alpha\r\nADMIN=jdoe\r\nHOST=vobhost\r\n"
                                "SSH_HOME=\\\\vobhost\\ssh\r\nCFG_FILE_ALTERNATE=alt.cfg\r\n");
        const ConfigRecord &c = AppGlobals().config;
        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(m_window->windowTitle(), title("NT Only"));
        QVERIFY(ui->opModeCB->isHidden());
        QVERIFY(ui->opModeCB->isChecked());
        QVERIFY(!ui->pwdTxt->isEnabled());
        QVERIFY(!ui->usernameMappingCB->isEnabled());
        QVERIFY(!ui->interopCB->isChecked());
        for (QWidget *w : password_controls(ui))
            QVERIFY2(w->isHidden(), qPrintable(w->objectName()));
        for (QWidget *w : action_controls(ui))
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(!ui->mainFrame->isHidden());
        QVERIFY(ui->configFrame->isHidden());
        QCOMPARE(ui->projectCombo->currentText(), QStringLiteral("<choose project>"));
        QCOMPARE(ui->regionCombo->currentText(), QStringLiteral("Windows"));
        QCOMPARE(ui->cfgFileLbl->text(), QStringLiteral("qn.cfg"));
        QCOMPARE(c.SSH_CMD_PATH, QStringLiteral("\\\\vobhost\\ssh\\plink-x86.exe"));
        QCOMPARE(ui->hostTxt->text(), QStringLiteral("vobhost"));
        QCOMPARE(ui->alternateCfgTxt->text(), QStringLiteral("alt.cfg"));
        QCOMPARE(ui->adminTxt->text(), QStringLiteral("jdoe"));
        QVERIFY(ui->hostTxt->isReadOnly() && ui->adminTxt->isReadOnly() && ui->viewStorageTxt->isReadOnly());
        QVERIFY(!ui->useEditorTxt->isReadOnly());
    }

    void interopMode_afterLoad()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start("IS_INTEROP=true\r\nNT_ONLY=false\r\nUSE_SSH=true\r\nCC_EXPLORER=TRUE\r\n"
                                "CFG_FILE_ALTERNATE=alt.cfg\r\nADMIN=jdoe\r\nPROJECT=alpha\r\n");
        QCOMPARE(msgs.texts(), QStringList());
        QCOMPARE(m_window->windowTitle(), title("Interop"));
        QVERIFY(!ui->opModeCB->isHidden());
        QVERIFY(!ui->opModeCB->isChecked());
        // With the box cleared the action controls are left as they were.
        for (QWidget *w : action_controls(ui))
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        for (QWidget *w : password_controls(ui))
            QVERIFY2(!w->isHidden(), qPrintable(w->objectName()));
        for (QWidget *w :
             QList<QWidget *>{ui->unmaskPwdCB, ui->usernameMappingCB, ui->pwdTxt, ui->usernameMappingTxt})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        for (QCheckBox *b : {ui->interopCB, ui->useSSHCB, ui->ccExplorerCB}) {
            QVERIFY2(b->isChecked(), qPrintable(b->objectName()));
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        }
    }

    void ntOnlyValue_setsModeBox_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("checked");
        QTest::newRow("True") << QByteArray("True") << true;
        QTest::newRow("TRUE") << QByteArray("TRUE") << true;
        QTest::newRow("false") << QByteArray("false") << false;
        QTest::newRow("other word") << QByteArray("yes") << false;
    }

    void ntOnlyValue_setsModeBox()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, checked);
        MessageRecorder msgs;
        Ui::frmMain *ui = start("IS_INTEROP=true\r\nCFG_FILE_ALTERNATE=alt.cfg\r\nNT_ONLY=" + value + "\r\n");
        QCOMPARE(ui->opModeCB->isChecked(), checked);
        QVERIFY(!ui->opModeCB->isHidden());
        QCOMPARE(m_window->windowTitle(), title("Interop"));
        // A checked box disables the action controls and hides the password.
        QCOMPARE(ui->createViewBut->isEnabled(), !checked);
        QCOMPARE(ui->pwdTxt->isHidden(), checked);
    }

    void primaryGroup_preselectsListedProject_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QString>("shown");
        QTest::newRow("unset") << QByteArray() << "<choose project>";
        QTest::newRow("listed, same case") << QByteArray("alpha") << "alpha";
        QTest::newRow("listed, other case") << QByteArray("ALPHA") << "ALPHA";
        QTest::newRow("not listed") << QByteArray("gamma") << "<choose project>";
    }

    void primaryGroup_preselectsListedProject()
    {
        QFETCH(QByteArray, group);
        QFETCH(QString, shown);
        if (!group.isEmpty())
            qputenv("CLEARCASE_PRIMARY_GROUP", group);
        MessageRecorder msgs;
        Ui::frmMain *ui = start("IS_INTEROP=false\r\nPROJECT=alpha\r\nPROJECT=beta\r\n");
        QCOMPARE(m_window->primary_group, QString::fromLocal8Bit(group));
        QCOMPARE(ui->projectCombo->currentText(), shown);
        QCOMPARE(ui->projectCombo->count(), 2);
    }

    void modeSwitch_followsTheFileRead()
    {
        write(QStringLiteral("nt.cfg"),
              "IS_INTEROP=false\r\nHOST=hostb\r\nCC_EXPLORER=false\r\nUSE_SSH=false\r\n"
              "CFG_FILE_ALTERNATE=qn.cfg\r\nADMIN=jdoe\r\n");
        MessageRecorder msgs;
        Ui::frmMain *ui =
            start("IS_INTEROP=true\r\nNT_ONLY=false\r\nHOST=hosta\r\nCC_EXPLORER=true\r\n"
                  "USE_SSH=true\r\nCFG_FILE_ALTERNATE=nt.cfg\r\nADMIN=jdoe\r\nPROJECT=alpha\r\n");
        ConfigRecord &c = AppGlobals().config;
        QVERIFY(ui->opModeCB->isEnabled());

        // Without a chosen project the switch re-reads nothing.
        ui->opModeCB->click();
        QVERIFY(ui->opModeCB->isChecked());
        QCOMPARE(c.HOST, QStringLiteral("hosta"));
        QCOMPARE(ui->hostTxt->text(), QStringLiteral("hosta"));
        QCOMPARE(m_window->windowTitle(), title("Interop"));
        ui->opModeCB->click();
        QVERIFY(!ui->opModeCB->isChecked());
        QCOMPARE(c.HOST, QStringLiteral("hosta"));

        ui->projectCombo->setCurrentIndex(ui->projectCombo->findText(QStringLiteral("alpha")));
        QCOMPARE(ui->projectCombo->currentText(), QStringLiteral("alpha"));

        ui->opModeCB->click(); // checked: the alternate file
        QCOMPARE(c.HOST, QStringLiteral("hostb"));
        QCOMPARE(ui->hostTxt->text(), QStringLiteral("hostb"));
        QCOMPARE(ui->alternateCfgTxt->text(), QStringLiteral("qn.cfg"));
        QCOMPARE(m_window->windowTitle(), title("NT Only"));
        QVERIFY(!ui->ccExplorerCB->isChecked());
        QVERIFY(!ui->useSSHCB->isChecked());
        QVERIFY(!ui->interopCB->isChecked());
        QVERIFY(ui->pwdTxt->isHidden());
        QCOMPARE(ui->projectCombo->currentText(), QStringLiteral("alpha"));

        ui->opModeCB->click(); // cleared: the primary file
        QCOMPARE(c.HOST, QStringLiteral("hosta"));
        QCOMPARE(ui->hostTxt->text(), QStringLiteral("hosta"));
        QCOMPARE(m_window->windowTitle(), title("Interop"));
        QVERIFY(ui->ccExplorerCB->isChecked());
        QVERIFY(ui->useSSHCB->isChecked());
        QVERIFY(ui->interopCB->isChecked());
        QVERIFY(!ui->pwdTxt->isHidden());
        // The path of the SSH client keeps its start value.
        QCOMPARE(c.SSH_CMD_PATH, c.SSH_HOME + QStringLiteral("\\plink-x86.exe"));
    }

    void configPanel_toggleTwiceAndBack()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start("IS_INTEROP=false\r\nADMIN=jdoe\r\n");
        QVERIFY(!ui->createViewBut->isEnabled()); // no project chosen yet
        auto config_shown = [ui] {
            QVERIFY(ui->mainFrame->isHidden());
            QVERIFY(!ui->configFrame->isHidden());
            QVERIFY(!ui->createViewBut->isEnabled());
            QVERIFY(!ui->startViewBut->isEnabled());
            QVERIFY(ui->reloadBut->isEnabled());
        };
        auto main_shown = [ui] {
            QVERIFY(!ui->mainFrame->isHidden());
            QVERIFY(ui->configFrame->isHidden());
            QVERIFY(ui->createViewBut->isEnabled());
            QVERIFY(ui->startViewBut->isEnabled());
            QVERIFY(!ui->reloadBut->isEnabled());
        };
        ui->Configuration->trigger();
        config_shown();
        ui->Configuration->trigger();
        main_shown();
        ui->Configuration->trigger();
        config_shown();
        ui->butBack->click();
        main_shown();
        QCOMPARE(msgs.texts(), QStringList());
    }

    void reloadThenBack_gainsNewProject()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start("IS_INTEROP=false\r\nPROJECT=alpha\r\nHOST=vobhost\r\n");
        ui->Configuration->trigger();
        write(QStringLiteral("qn.cfg"), "IS_INTEROP=false\r\nPROJECT=beta\r\nHOST=hostb\r\n");
        ui->Reload->trigger();
        QCOMPARE(ui->hostTxt->text(), QStringLiteral("hostb"));
        QVERIFY(ui->mainFrame->isHidden());
        ui->butBack->click();
        QVERIFY(!ui->mainFrame->isHidden());
        QCOMPARE(ui->projectCombo->count(), 2);
        QCOMPARE(ui->projectCombo->itemText(0), QStringLiteral("alpha"));
        QCOMPARE(ui->projectCombo->itemText(1), QStringLiteral("beta"));
        QCOMPARE(msgs.texts(), QStringList());
    }

    void smallHandlers()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start("IS_INTEROP=true\r\nNT_ONLY=false\r\n");

        ui->pwdTxt->setText(QStringLiteral("s3 cr*t"));
        QCOMPARE(ui->pwdTxt->echoMode(), QLineEdit::Password);
        ui->unmaskPwdCB->setEnabled(true);
        ui->unmaskPwdCB->click();
        QCOMPARE(ui->pwdTxt->echoMode(), QLineEdit::Normal);
        QCOMPARE(ui->pwdTxt->text(), QStringLiteral("s3 cr*t"));
        ui->unmaskPwdCB->click();
        QCOMPARE(ui->pwdTxt->echoMode(), QLineEdit::Password);
        QCOMPARE(ui->pwdTxt->text(), QStringLiteral("s3 cr*t"));

        ui->usernameMappingCB->setEnabled(true);
        QVERIFY(!ui->usernameMappingTxt->isEnabled());
        ui->usernameMappingCB->click();
        QVERIFY(ui->usernameMappingTxt->isEnabled());
        ui->usernameMappingCB->click();
        QVERIFY(!ui->usernameMappingTxt->isEnabled());

        // Moving over the main panel hides the note.
        ui->txtMsg->show();
        QVERIFY(!ui->txtMsg->isHidden());
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(ui->mainFrame, &move);
        QVERIFY(ui->txtMsg->isHidden());

        // A click into the empty list changes nothing; with an item it shows
        // the item in full as the tip.
        const QString tip = ui->myViewsList->toolTip();
        m_window->myViewsList_Click();
        QCOMPARE(ui->myViewsList->toolTip(), tip);
        ui->myViewsList->addItem(QStringLiteral("jdoe__a_rather_long_view_tag_name"));
        ui->myViewsList->setCurrentRow(0);
        QCOMPARE(ui->myViewsList->toolTip(), QStringLiteral("jdoe__a_rather_long_view_tag_name"));
        QCOMPARE(msgs.texts(), QStringList());
    }

    void controls_allNamedAndMenusInOrder()
    {
        MessageRecorder msgs;
        Ui::frmMain *ui = start("IS_INTEROP=true\r\n");
        const char *widgets[] = {"createViewBut",
                                 "removeViewToolBut",
                                 "findCoBut",
                                 "Command1",
                                 "helpBut",
                                 "reloadBut",
                                 "startViewBut",
                                 "helpDeskBut",
                                 "showConfigBut",
                                 "cancelBut",
                                 "mainFrame",
                                 "configFrame",
                                 "logoImage",
                                 "Label1",
                                 "txtMsg",
                                 "txtConfigSpec",
                                 "removeViewBut",
                                 "refreshViewBut",
                                 "viewBut",
                                 "opModeCB",
                                 "refreshBut",
                                 "detailBut",
                                 "myViewsList",
                                 "unmaskPwdCB",
                                 "usernameMappingTxt",
                                 "usernameMappingCB",
                                 "viewStatusList",
                                 "pwdTxt",
                                 "projectCombo",
                                 "descTxt",
                                 "viewsList",
                                 "Line4",
                                 "myViewsLbl",
                                 "userNameLbl",
                                 "Image1",
                                 "pwdLbl",
                                 "projectLbl",
                                 "selectViewLbl",
                                 "butBack",
                                 "readOnlyConfigCB",
                                 "alternateCfgTxt",
                                 "adminTxt",
                                 "useEditorTxt",
                                 "regionCombo",
                                 "useSSHCB",
                                 "interopCB",
                                 "ccExplorerCB",
                                 "viewStorageTxt",
                                 "vobServerTxt",
                                 "sshCmdHomeTxt",
                                 "sshCmdTxt",
                                 "kestrelConfigTxt",
                                 "kestrelHomeTxt",
                                 "kestrelCmdTxt",
                                 "helpDeskTxt",
                                 "hostTxt",
                                 "alternateCfgLbl",
                                 "adminLbl",
                                 "useEditorLbl",
                                 "regionLbl",
                                 "Line3",
                                 "cfgFileLbl",
                                 "viewStorageLbl",
                                 "vobServerLbl",
                                 "Line2",
                                 "Line1",
                                 "sshCmdHomeLbl",
                                 "sshCmdLbl",
                                 "kestrelCmdLbl",
                                 "kestrelConfigLbl",
                                 "kestrelHomeLbl",
                                 "helpDeskLbl",
                                 "hostLbl"};
        for (const char *name : widgets)
            QVERIFY2(m_window->findChild<QWidget *>(QLatin1String(name)), name);

        const QList<QPair<const char *, QStringList>> menus{
            {"File", {"sep1", "Exit"}},
            {"Tools", {"StartView", "RemoveView", "sep2", "FindCO"}},
            {"Admin", {"Reload", "sep4", "Configuration"}},
            {"Help", {"GettingHelp", "sep7", "HelpDesk", "sep6", "content", "sep10", "About"}}};
        for (const auto &[menu_name, items] : menus) {
            auto *menu = m_window->findChild<QMenu *>(QLatin1String(menu_name));
            QVERIFY2(menu, menu_name);
            QVERIFY2(menu->title().contains(QLatin1Char('&')), menu_name);
            QStringList names;
            for (QAction *a : menu->actions()) {
                names << a->objectName();
                QCOMPARE(a->isSeparator(), a->objectName().startsWith(QLatin1String("sep")));
                QVERIFY(m_window->findChild<QAction *>(a->objectName()) == a);
            }
            QCOMPARE(names, items);
        }
        QCOMPARE(ui->GettingHelp->text().remove(QLatin1Char('&')),
                 QStringLiteral("Getting Help from ") + SUPPLIER_NAME);
        QCOMPARE(ui->FindCO->text().remove(QLatin1Char('&')), QStringLiteral("Find Check Outs"));
    }

    void controls_accessibleNamesAndDescriptions()
    {
        MessageRecorder msgs;
        start("IS_INTEROP=true\r\nNT_ONLY=false\r\n");
        QList<QWidget *> operated;
        for (QWidget *w : m_window->findChildren<QWidget *>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) ||
                qobject_cast<QComboBox *>(w->parentWidget()))
                continue; // pieces Qt makes inside its own controls
            if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) ||
                qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QComboBox *>(w) ||
                qobject_cast<QListWidget *>(w))
                operated << w;
        }
        QVERIFY(operated.size() >= 40);
        for (QWidget *w : operated) {
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            if (!w->toolTip().isEmpty())
                QVERIFY2(w->accessibleDescription() == w->toolTip(), qPrintable(w->objectName()));
        }
        for (QMenu *menu : m_window->findChildren<QMenu *>())
            for (QAction *a : menu->actions())
                QVERIFY2(a->isSeparator() || !a->text().isEmpty(), qPrintable(a->objectName()));
    }

    void labels_captionTheirControls_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("control");
        const char *pairs[][2] = {{"projectLbl", "projectCombo"},
                                  {"pwdLbl", "pwdTxt"},
                                  {"selectViewLbl", "viewsList"},
                                  {"myViewsLbl", "myViewsList"},
                                  {"hostLbl", "hostTxt"},
                                  {"vobServerLbl", "vobServerTxt"},
                                  {"helpDeskLbl", "helpDeskTxt"},
                                  {"viewStorageLbl", "viewStorageTxt"},
                                  {"adminLbl", "adminTxt"},
                                  {"alternateCfgLbl", "alternateCfgTxt"},
                                  {"kestrelCmdLbl", "kestrelCmdTxt"},
                                  {"kestrelHomeLbl", "kestrelHomeTxt"},
                                  {"kestrelConfigLbl", "kestrelConfigTxt"},
                                  {"sshCmdLbl", "sshCmdTxt"},
                                  {"sshCmdHomeLbl", "sshCmdHomeTxt"},
                                  {"regionLbl", "regionCombo"},
                                  {"useEditorLbl", "useEditorTxt"}};
        for (const auto &p : pairs)
            QTest::newRow(p[0]) << QString::fromLatin1(p[0]) << QString::fromLatin1(p[1]);
    }

    void labels_captionTheirControls()
    {
        QFETCH(QString, label);
        QFETCH(QString, control);
        frmMain w;
        auto *l = w.findChild<QLabel *>(label);
        QVERIFY(l);
        QVERIFY(l->buddy());
        QCOMPARE(l->buddy()->objectName(), control);
    }

    void close_unloadsEveryWindow()
    {
        MessageRecorder msgs;
        start("IS_INTEROP=false\r\n");
        AppGlobalsData &g = AppGlobals();
        g.progress().start_progress(QStringLiteral("Working"));
        g.about().show();
        m_window->show();
        QVERIFY(g.progress().isVisible());
        QVERIFY(g.about().isVisible());
        QVERIFY(m_window->close());
        QTRY_VERIFY(!m_window->isVisible());
        QTRY_VERIFY(!g.progress().isVisible());
        QTRY_VERIFY(!g.about().isVisible());
        const auto tops = QApplication::topLevelWidgets();
        for (QWidget *w : tops)
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
