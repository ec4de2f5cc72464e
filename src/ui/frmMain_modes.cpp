// The main window's start-up, its copy of the configuration, the NT-only and
// interop modes, and the configuration panel.
#include "ui/frmMain.h"

#include "base/arguments.h"
#include "base/errors.h"
#include "base/platform.h"
#include "base/strings.h"
#include "site/config_reader.h"
#include "site/site_paths.h"
#include "ui/appglobals.h"
#include "ui/helpers.h"
#include "ui/messages.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QSet>

#include <algorithm>
#include <utility>

namespace {
const QString CHOOSE_PROJECT = QStringLiteral("<choose project>");
} // namespace

void frmMain::readConfiguration(const QString &path)
{
    ConfigRecord &config = AppGlobals().config;
    const ConfigReadResult read =
        read_config_file(path, config, AppGlobals().programDir, strip_non_ansi(get_login_name()));
    for (const auto &[file, why] : read.unreadable)
        showMessage(QStringLiteral("Error determining file exist --> ") + platform::toLocalPath(file) + QStringLiteral("::") + why,
                    MsgIcon::Critical);
    if (read.missing) {
        showMessage(QStringLiteral("File does not exist --> ") + platform::toLocalPath(path), MsgIcon::Critical);
        return;
    }
    addProjects(read.projects);
    if (!read.error.isEmpty()) {
        showMessage(QStringLiteral("Error processing config file --> ") + platform::toLocalPath(path) + QStringLiteral(":: ") +
                        read.error,
                    MsgIcon::Critical);
        return;
    }
    set_nt_only(read.ntOnly);
    if (!read.alternateUsable)
        wantEnabled(ui->opModeCB, false);
    if (!read.admin) {
        ui->showConfigBut->setEnabled(false);
        wantEnabled(ui->viewBut, false);
    }
}

void frmMain::addProjects(const QStringList &read)
{
    // The list keeps its items sorted without regard to letter case and holds
    // no two that are equal ignoring case: all at once, so that a file of many
    // projects costs one sort, not a scan of the list per project.
    QComboBox *combo = ui->projectCombo;
    QStringList items;
    QSet<QString> listed;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
        listed.insert(combo->itemText(i).toCaseFolded());
    }
    bool added = false;
    for (const QString &project : read) {
        const QString folded = project.toCaseFolded();
        if (listed.contains(folded))
            continue;
        listed.insert(folded);
        items << project;
        added = true;
    }
    if (!added)
        return;
    std::stable_sort(items.begin(), items.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    // Filling the list must not change the text the combo box shows, nor
    // make an item current that is not shown: with one current while the
    // box says "<choose project>", choosing that item would do nothing.
    const QString shown = combo->currentText();
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(combo->findText(shown, Qt::MatchExactly));
    combo->setEditText(shown);
}

QString frmMain::windowTitleFor(bool ntOnly) const
{
    const QString version = QStringLiteral("Version %1.%2.%3 - UCM Enabled")
                                .arg(versionMajor())
                                .arg(versionMinor())
                                .arg(versionRevision());
    return (ntOnly ? QStringLiteral("Quillon (Unix to NT) - NT Only Mode ")
                   : QStringLiteral("Quillon (Unix to NT) - Interop Mode ")) +
           version;
}

void frmMain::load()
{
    ConfigRecord &config = AppGlobals().config;
    set_gui_values();
    ui->cfgFileLbl->setText(config.CFG_FILE);
    config.SSH_CMD_PATH = SitePaths(config).sshClient();
    primary_group = qEnvironmentVariable("CLEARCASE_PRIMARY_GROUP");
    if (is_dup_list(primary_group, ui->projectCombo))
        ui->projectCombo->setEditText(primary_group);
    reloadTemplates();
    ui->regionCombo->setEditText(QStringLiteral("Windows"));
    // A change of the box's state counts as a click and runs the mode switch.
    ui->opModeCB->setChecked(isWord(config.NT_ONLY, "true"));
    if (isWord(config.IS_INTEROP, "false")) {
        ui->opModeCB->hide();
        ui->opModeCB->setChecked(true);
    }
    enable_controls(false, true);
}

void frmMain::set_gui_values()
{
    const ConfigRecord &c = AppGlobals().config;
    const std::pair<QLineEdit *, const QString *> shown[] = {
        {ui->hostTxt, &c.HOST},
        {ui->kestrelCmdTxt, &c.KESTREL},
        {ui->kestrelConfigTxt, &c.KESTREL_CONFIG},
        {ui->kestrelHomeTxt, &c.KESTREL_HOME},
        {ui->helpDeskTxt, &c.HELPDESK},
        {ui->sshCmdHomeTxt, &c.SSH_HOME},
        {ui->sshCmdTxt, &c.SSH_CMD},
        {ui->vobServerTxt, &c.VOB_SERVER},
        {ui->viewStorageTxt, &c.VIEW_STORAGE},
        {ui->alternateCfgTxt, &c.CFG_FILE_ALTERNATE},
        {ui->adminTxt, &c.ADMIN},
    };
    for (const auto &[box, value] : shown) {
        box->setText(*value);
        box->setReadOnly(true);
        // Looks as it is: shown, not for typing in.
        QPalette look = box->palette();
        look.setColor(QPalette::Base, look.color(QPalette::Window));
        box->setPalette(look);
    }

    ui->ccExplorerCB->setChecked(isWord(c.CC_EXPLORER, "true"));
    if (isWord(c.IS_INTEROP, "true")) {
        ui->interopCB->setChecked(true);
        ui->pwdTxt->setEnabled(true);
        ui->pwdTxt->setBackgroundRole(QPalette::Base);
        ui->pwdLbl->setEnabled(true);
        ui->usernameMappingCB->setEnabled(true);
        ui->userNameLbl->setEnabled(true);
    }
    ui->useSSHCB->setChecked(isWord(c.USE_SSH, "true"));
    if (isWord(c.IS_INTEROP, "false")) {
        ui->pwdTxt->setBackgroundRole(QPalette::Window);
        ui->pwdTxt->setEnabled(false);
        ui->usernameMappingCB->setEnabled(false);
        ui->interopCB->setChecked(false);
        setWindowTitle(windowTitleFor(true));
    } else {
        setWindowTitle(windowTitleFor(false));
    }
    ui->interopCB->setEnabled(false);
    ui->ccExplorerCB->setEnabled(false);
    ui->useSSHCB->setEnabled(false);
}

void frmMain::set_nt_only(bool ntOnly)
{
    try {
        for (QWidget *w :
             {static_cast<QWidget *>(ui->unmaskPwdCB), static_cast<QWidget *>(ui->usernameMappingCB),
              static_cast<QWidget *>(ui->usernameMappingTxt), static_cast<QWidget *>(ui->pwdLbl),
              static_cast<QWidget *>(ui->pwdTxt), static_cast<QWidget *>(ui->userNameLbl)})
            w->setVisible(!ntOnly);
    } catch (const std::exception &e) {
        standardError(errorDescription(e), 1);
    }
}

void frmMain::enable_controls(bool enable, bool force)
{
    if (ui->opModeCB->isChecked()) {
        for (QObject *w : std::initializer_list<QObject *>{
                 ui->opModeCB, ui->readOnlyConfigCB, ui->removeViewBut, ui->refreshBut, ui->refreshViewBut,
                 ui->detailBut, ui->viewBut, ui->createViewBut, ui->startViewBut, ui->removeViewToolBut,
                 ui->findCoBut})
            wantEnabled(w, enable);
        set_nt_only(true);
    }
    if (!ui->opModeCB->isChecked() || force) {
        for (QWidget *w : {static_cast<QWidget *>(ui->unmaskPwdCB),
                           static_cast<QWidget *>(ui->usernameMappingCB), static_cast<QWidget *>(ui->pwdLbl),
                           static_cast<QWidget *>(ui->pwdTxt), static_cast<QWidget *>(ui->userNameLbl)})
            w->setEnabled(enable);
    }
}

void frmMain::busy(bool mode)
{
    m_busy = mode;
    applyCursor();
}

void frmMain::applyCursor()
{
    // The hourglass while busy, and while any operation runs.
    if (m_busy || !m_states.idle())
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void frmMain::opModeCB_Click()
{
    const ActivityScope switching(*this, Activity::SwitchingMode);
    if (switching)
        passOver([this] { change_op_mode(); });
}

void frmMain::change_op_mode()
{
    if (ui->projectCombo->currentText() == CHOOSE_PROJECT)
        return;
    ConfigRecord &config = AppGlobals().config;
    try {
        busy(true);
        // Checked means the alternate file's settings; a site without a usable
        // alternate file stays on its primary one rather than losing its
        // settings to the defaults.
        const QString dir = AppGlobals().programDir + QStringLiteral("\\");
        const QString &alternate = config.CFG_FILE_ALTERNATE;
        const bool useAlternate = ui->opModeCB->isChecked() &&
                                  alternate != QLatin1String("CFG_FILE_ALTERNATE") &&
                                  file_exists(dir + alternate, false);
        readConfiguration(dir + (useAlternate ? alternate : config.CFG_FILE));
        set_gui_values();
        reloadTemplates();
        get_myviews(ui->regionCombo->currentText());
    } catch (const std::exception &e) {
        standardError(errorDescription(e), 4);
        busy(false);
    }
}

void frmMain::Configuration_Click()
{
    if (ui->mainFrame->isHidden())
        butBack_Click();
    else {
        m_focusBeforeConfig = QApplication::focusWidget();
        ui->mainFrame->hide();
        ui->configFrame->show();
        wantEnabled(ui->createViewBut, false);
        wantEnabled(ui->startViewBut, false);
        wantEnabled(ui->reloadBut, true);
        ui->butBack->setFocus();
    }
}

void frmMain::butBack_Click()
{
    ui->mainFrame->show();
    ui->configFrame->hide();
    wantEnabled(ui->createViewBut, true);
    wantEnabled(ui->startViewBut, true);
    wantEnabled(ui->reloadBut, false);
    // The focus goes back where it was before the panel opened.
    if (QWidget *back = std::exchange(m_focusBeforeConfig, nullptr); back && back->isVisible())
        back->setFocus();
}

void frmMain::Reload_Click()
{
    const ActivityScope reloading(*this, Activity::Reloading);
    if (!reloading)
        return;
    ConfigRecord &config = AppGlobals().config;
    passOver([&] { readConfiguration(AppGlobals().programDir + QStringLiteral("\\") + config.CFG_FILE); });
    passOver([&] { set_gui_values(); });
}
