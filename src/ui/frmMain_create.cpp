// View creation: the selected template becomes a view through Kestrel, run
// from the workstation through the HOST share (local mode) or on the Unix
// host through the SSH client (remote mode, followed by the Windows view tag).
#include "ui/frmMain.h"

#include "base/errors.h"
#include "base/platform.h"
#include "base/process.h"
#include "clearcase/views.h"
#include "kestrel/creation.h"
#include "kestrel/kestrel.h"
#include "ui/appglobals.h"
#include "ui/frmProgress.h"
#include "ui/messages.h"
#include "ui_frmMain.h"

#include <QCoreApplication>

namespace {
const QString CREATE_TITLE = QStringLiteral("Create View");

// Lets the window repaint (the progress window above all) before going on.
void eventsRun()
{
    QCoreApplication::processEvents();
}

// What the creation reports, shown: progress in the progress window, each
// message with its icon and title.
class Report : public CreationReport {
public:
    explicit Report(frmProgress &progress) : m_progress(progress) {}
    void progress(const QString &message) override
    {
        m_progress.set_msg(message);
        eventsRun();
    }
    void notStarted(const QString &text) override { showMessage(text, MsgIcon::None, MsgButtons::Ok); }
    void resultProblem(const QString &text) override { showMessage(text, MsgIcon::Critical); }
    void unreadable(const QString &text) override { showMessage(text, MsgIcon::Critical); }
    void failed(const QString &text) override
    {
        showMessage(text + LOG_HINT, MsgIcon::Critical, MsgButtons::Ok,
                    QStringLiteral("Failed to create view.."));
    }

private:
    frmProgress &m_progress;
};
} // namespace

kestrel::Request frmMain::creationRequest(const TemplateRecord &entry) const
{
    const AppGlobalsData &g = AppGlobals();
    const ConfigRecord &c = g.config;
    kestrel::Request r;
    r.readOnly = ui->readOnlyConfigCB->isChecked();
    r.host = c.HOST;
    r.kestrelHome = c.KESTREL_HOME;
    r.kestrel = c.KESTREL;
    r.kestrelConfig = c.KESTREL_CONFIG;
    r.sshCmdPath = c.SSH_CMD_PATH;
    r.useSsh = c.USE_SSH;
    r.viewStorage = c.VIEW_STORAGE;
    r.vobServer = ui->vobServerTxt->text();
    r.project = ui->projectCombo->currentText();
    r.unixUser = g.unix_user;
    r.tagUser = g.tag_user;
    r.templateFile = entry.file_name;
    r.templateTag = entry.tag;
    r.password = ui->pwdTxt->text();
    return r;
}

void frmMain::create_view()
{
    // Inside a run the window keeps handling events; a second click there
    // would start a second Kestrel over the same output file.
    const ActivityScope creating(*this, Activity::Creating);
    if (!creating)
        return;

    AppGlobalsData &g = AppGlobals();
    frmProgress &progress = g.progress();
    const bool remote = isExactlyTrue(g.config.IS_INTEROP);
    if (remote && ui->pwdTxt->text().isEmpty()) {
        ui->pwdTxt->setEnabled(true);
        showMessage(QStringLiteral("You must type in the password ") + CRLF +
                        QStringLiteral("for your unix account") + CRLF,
                    MsgIcon::Exclamation);
        return;
    }
    if (remote && ui->pwdTxt->text().size() > kestrel::kMaxPassword) {
        showMessage(QStringLiteral("The password is %1 characters long. Quillon hands over a password of "
                                   "at most %2 characters: check what was typed or pasted.")
                        .arg(ui->pwdTxt->text().size())
                        .arg(kestrel::kMaxPassword),
                    MsgIcon::Exclamation, MsgButtons::Ok, CREATE_TITLE);
        return;
    }
    if (ui->viewsList->count() == 0) {
        showMessage(QStringLiteral("There are no views to create "), MsgIcon::Exclamation);
        return;
    }

    try {
        // Only a selected template counts, not a row that merely has the
        // keyboard focus.
        const QListWidgetItem *item = ui->viewsList->currentItem();
        const int row = item && item->isSelected() ? ui->viewsList->row(item) : -1;
        if (row < 0 || size_t(row) >= g.view_templates.size())
            throw QuillonError(QStringLiteral("Subscript out of range"));
        const kestrel::Request r = creationRequest(g.view_templates[size_t(row)]);

        // The remote command is read again by the Unix host's shell: a
        // piece that the shell would interpret stops the run before
        // anything starts.
        if (remote) {
            if (const auto unsafe = kestrel::findUnsafePiece(r)) {
                showMessage(kestrel::unsafeMessage(*unsafe), MsgIcon::Exclamation, MsgButtons::Ok,
                            CREATE_TITLE);
                return;
            }
        }

        const QString requested = remote ? kestrel::remoteViewTag(r) : kestrel::localViewTag(r);
        progress.start_progress(QStringLiteral("Creating view --> ") + requested + CRLF +
                                QStringLiteral("please wait..."));
        eventsRun();
        busy(true);
        eventsRun();

        Report report(progress);
        const CreationRun run = runKestrel(r, remote, m_ssh, &m_interrupt, report);
        if (run.failed) {
            progress.stop_progress();
            busy(false);
            return;
        }
        finishCreation(run.created);
    } catch (const std::exception &e) {
        progress.stop_progress();
        busy(false);
        showMessage(QStringLiteral("Error::") + errorDescription(e) + CRLF +
                        QStringLiteral("Could not create view") +
                        (dynamic_cast<const ClearCaseError *>(&e) ? LOG_HINT : QString()),
                    MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Error creating view..."));
    }
}

void frmMain::finishCreation(const QString &created)
{
    const ConfigRecord &c = AppGlobals().config;
    frmProgress &progress = AppGlobals().progress();
    if (isExactlyTrue(c.CC_EXPLORER) && platform::hasClearCaseExplorer())
        startProgram(CommandLine(QStringLiteral("clearexplorer")));

    progress.set_msg(QStringLiteral("* * Finished * *"));
    eventsRun();
    progress.stop_progress();
    get_myviews(ui->regionCombo->currentText());
    reloadTemplates();
    busy(false);

    // Success is decided by ClearCase only: a view whose tag it knows was made.
    if (!view_tag_exists(CC(), created)) {
        showMessage(QStringLiteral("Note: could not determine if the view --> ") + created + CRLF +
                        QStringLiteral("has been created. View may be based on a template file in") + CRLF +
                        QStringLiteral("which case Quillon is unable to determine if the view has been") +
                        CRLF + QStringLiteral("created.  Check My Existing View(s) list below."),
                    MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Finished..."));
        return;
    }
    if (const auto rows = ui->myViewsList->findItems(created, Qt::MatchExactly | Qt::MatchCaseSensitive);
        !rows.isEmpty())
        ui->myViewsList->setCurrentItem(rows.last());
    showMessage(QStringLiteral("Success: the view --> ") + created + CRLF +
                    QStringLiteral("has been created."),
                MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Finished..."));
}
