// The main window's start-up, its copy of the configuration, the NT-only and
// interop modes, and the configuration panel.
#include "forms/frmMain.h"

#include "main/appglobals.h"
#include "main/config.h"
#include "outside/platform.h"
#include "ui_frmMain.h"
#include "utils/errors.h"
#include "utils/helpers.h"
#include "utils/messages.h"

#include <QGuiApplication>

namespace {
const QString CHOOSE_PROJECT = QStringLiteral("<choose project>");

bool is_word(const QString &value, const char *word)
{
    return value.toLower() == QLatin1String(word);
}
} // namespace

QString frmMain::window_title_for(bool nt_only) const
{
    const QString version = QStringLiteral("Version %1.%2.%3 - UCM Enabled")
                                .arg(version_major())
                                .arg(version_minor())
                                .arg(version_revision());
    return (nt_only ? QStringLiteral("Quillon (Unix to NT) - NT Only Mode ")
                    : QStringLiteral("Quillon (Unix to NT) - Interop Mode ")) +
           version;
}

void frmMain::load()
{
    ConfigRecord &config = AppGlobals().config;
    set_gui_values();
    ui->cfgFileLbl->setText(config.CFG_FILE);
    config.SSH_CMD_PATH = config.SSH_HOME + QStringLiteral("\\") + config.SSH_CMD;
    primary_group = qEnvironmentVariable("CLEARCASE_PRIMARY_GROUP");
    if (is_dup_list(primary_group, ui->projectCombo))
        ui->projectCombo->setEditText(primary_group);
    get_view_templates(config.KESTREL_CONFIG + QStringLiteral("\\") + ui->projectCombo->currentText());
    ui->regionCombo->setEditText(QStringLiteral("Windows"));
    // A change of the box's state counts as a click and runs the mode switch.
    ui->opModeCB->setChecked(is_word(config.NT_ONLY, "true"));
    if (is_word(config.IS_INTEROP, "false")) {
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
    }

    ui->ccExplorerCB->setChecked(is_word(c.CC_EXPLORER, "true"));
    if (is_word(c.IS_INTEROP, "true")) {
        ui->interopCB->setChecked(true);
        ui->pwdTxt->setEnabled(true);
        ui->pwdTxt->setBackgroundRole(QPalette::Base);
        ui->pwdLbl->setEnabled(true);
        ui->usernameMappingCB->setEnabled(true);
        ui->userNameLbl->setEnabled(true);
    }
    ui->useSSHCB->setChecked(is_word(c.USE_SSH, "true"));
    if (is_word(c.IS_INTEROP, "false")) {
        ui->pwdTxt->setBackgroundRole(QPalette::Window);
        ui->pwdTxt->setEnabled(false);
        ui->usernameMappingCB->setEnabled(false);
        ui->interopCB->setChecked(false);
        setWindowTitle(window_title_for(true));
    } else {
        setWindowTitle(window_title_for(false));
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
        standard_error(error_description(e), 1);
    }
}

void frmMain::enable_controls(bool enable, bool force)
{
    if (ui->opModeCB->isChecked()) {
        for (QObject *w : std::initializer_list<QObject *>{
                 ui->opModeCB, ui->readOnlyConfigCB, ui->removeViewBut, ui->refreshBut, ui->refreshViewBut,
                 ui->detailBut, ui->viewBut, ui->createViewBut, ui->startViewBut, ui->removeViewToolBut,
                 ui->findCoBut})
            want(w, enable);
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
    apply_cursor();
}

void frmMain::apply_cursor()
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
        pass_over([this] { change_op_mode(); });
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
        const QString dir = platform::program_dir() + QStringLiteral("\\");
        const QString &alternate = config.CFG_FILE_ALTERNATE;
        const bool use_alternate = ui->opModeCB->isChecked() &&
                                   alternate != QLatin1String("CFG_FILE_ALTERNATE") &&
                                   file_exists(dir + alternate, false);
        read_config_file(dir + (use_alternate ? alternate : config.CFG_FILE), config);
        set_gui_values();
        get_view_templates(config.KESTREL_CONFIG + QStringLiteral("\\") + ui->projectCombo->currentText());
        get_myviews(ui->regionCombo->currentText());
    } catch (const std::exception &e) {
        standard_error(error_description(e), 4);
        busy(false);
    }
}

void frmMain::toggle_config()
{
    if (ui->mainFrame->isHidden())
        butBack_Click();
    else {
        ui->mainFrame->hide();
        ui->configFrame->show();
        want(ui->createViewBut, false);
        want(ui->startViewBut, false);
        want(ui->reloadBut, true);
        ui->butBack->setFocus();
    }
}

void frmMain::butBack_Click()
{
    ui->mainFrame->show();
    ui->configFrame->hide();
    want(ui->createViewBut, true);
    want(ui->startViewBut, true);
    want(ui->reloadBut, false);
}

void frmMain::reload_config()
{
    const ActivityScope reloading(*this, Activity::Reloading);
    if (!reloading)
        return;
    ConfigRecord &config = AppGlobals().config;
    pass_over(
        [&] { read_config_file(platform::program_dir() + QStringLiteral("\\") + config.CFG_FILE, config); });
    pass_over([&] { set_gui_values(); });
}
