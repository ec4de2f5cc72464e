// View creation: the selected template becomes a view through Kestrel, run
// from the workstation through the HOST share (local mode) or on the Unix
// host through the SSH client (remote mode, followed by the Windows view tag).
#include "forms/frmMain.h"

#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "outside/kestrel.h"
#include "outside/ssh_client.h"
#include "ui_frmMain.h"
#include "utils/errors.h"
#include "utils/messages.h"
#include "utils/run_command.h"
#include "utils/textfile.h"

#include <QCoreApplication>

namespace {
const QString TRUE_WORD = QStringLiteral("true");
const QString CREATE_TITLE = QStringLiteral("Create View");
const QString FAILED = QStringLiteral("FAILED");

// Lets the window repaint (the progress window above all) before going on.
void events_run()
{
    QCoreApplication::processEvents();
}

} // namespace

void frmMain::create_view()
{
    // Inside a run the window keeps handling events; a second click there
    // would start a second Kestrel over the same output file.
    const ActivityScope creating(*this, Activity::Creating);
    if (!creating)
        return;

    AppGlobalsData &g = AppGlobals();
    const ConfigRecord &c = g.config;
    frmProgress &progress = g.progress();
    const bool remote = c.IS_INTEROP == TRUE_WORD;

    kestrel::Request r;
    r.read_only = ui->readOnlyConfigCB->isChecked();

    if (remote && ui->pwdTxt->text().isEmpty()) {
        ui->pwdTxt->setEnabled(true);
        msg_box(QStringLiteral("You must type in the password ") + CRLF +
                    QStringLiteral("for your unix account") + CRLF,
                MsgIcon::Exclamation);
        return;
    }
    if (ui->viewsList->count() == 0) {
        msg_box(QStringLiteral("There are no views to create "), MsgIcon::Exclamation);
        return;
    }

    try {
        // Only a selected template counts, not a row that merely has the
        // keyboard focus.
        const QListWidgetItem *item = ui->viewsList->currentItem();
        const int row = item && item->isSelected() ? ui->viewsList->row(item) : -1;
        if (row < 0 || size_t(row) >= g.view_templates.size())
            throw QuillonError(QStringLiteral("Subscript out of range"));
        const TemplateRecord &entry = g.view_templates[size_t(row)];

        r.host = c.HOST;
        r.kestrel_home = c.KESTREL_HOME;
        r.kestrel = c.KESTREL;
        r.kestrel_config = c.KESTREL_CONFIG;
        r.ssh_cmd_path = c.SSH_CMD_PATH;
        r.use_ssh = c.USE_SSH;
        r.view_storage = c.VIEW_STORAGE;
        r.vob_server = ui->vobServerTxt->text();
        r.project = ui->projectCombo->currentText();
        r.unix_user = g.unix_user;
        r.tag_user = g.tag_user;
        r.template_file = entry.file_name;
        r.template_tag = entry.tag;
        r.password = ui->pwdTxt->text();

        // The remote command is read again by the Unix host's shell: a
        // piece that the shell would interpret stops the run before
        // anything starts.
        if (remote) {
            if (const auto unsafe = kestrel::find_unsafe_piece(r)) {
                msg_box(kestrel::unsafe_message(*unsafe), MsgIcon::Exclamation, MsgButtons::Ok, CREATE_TITLE);
                return;
            }
        }

        const QString requested = remote ? kestrel::remote_view_tag(r) : kestrel::local_view_tag(r);
        progress.start_progress(QStringLiteral("Creating view --> ") + requested + CRLF +
                                QStringLiteral("please wait..."));
        events_run();
        busy(true);
        events_run();

        RunOptions run;
        run.interrupt = &m_interrupt;
        QString created = requested;
        if (!remote) {
            progress.set_msg(QStringLiteral("Creating view..."));
            events_run();
            run_command(kestrel::local_command(r), WINDOW_NORMAL, run);
        } else {
            progress.set_msg(QStringLiteral("Creating view remotely..."));
            events_run();
            const kestrel::PasswordPassing how = m_ssh.passing_for(r.ssh_cmd_path, &m_interrupt);
            run.secret = r.password.toLocal8Bit();
            // Only a result Kestrel wrote in this run counts: what the file
            // was before the run is noted first.
            const QString output = kestrel::output_file_unc(r);
            const FileState before = file_state(output);
            RunOptions ssh = run;
            ssh.capture_errors = true;
            const RunResult kestrel_run = run_command(kestrel::remote_command(r, how), WINDOW_NORMAL, ssh);
            const FileState after = file_state(output);

            QString result = FAILED;
            if (!(before.exists && after == before))
                result = gcsv(output);
            // An empty last line gives no tag; anything else must be one tag.
            if (result == FAILED || (!result.isEmpty() && !kestrel::is_view_tag(result))) {
                QString text = QStringLiteral("Failed: Could not create the view") + CRLF +
                               QStringLiteral("--> ") + requested + CRLF + CRLF +
                               QStringLiteral("Make sure that you typed in the correct password");
                const QString said = kestrel::client_report(kestrel_run.errors, r.password);
                if (!said.isEmpty())
                    text += CRLF + CRLF + QStringLiteral("The SSH client reported:") + CRLF + said;
                msg_box(text, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Failed to create view.."));
                progress.stop_progress();
                busy(false);
                return;
            }
            created = result.toLower();
            if (!created.isEmpty()) {
                progress.set_msg(QStringLiteral("Creating NT Tag..."));
                events_run();
                run_command(kestrel::mktag_command(r, created), WINDOW_MINIMISED, run);
            }
            progress.set_msg(QStringLiteral("cleaning up files..."));
            events_run();
            run_command(kestrel::cleanup_command(r, how), WINDOW_MINIMISED, run);
        }

        if (c.CC_EXPLORER == TRUE_WORD)
            start_program(CommandLine(QStringLiteral("clearexplorer")), WINDOW_NORMAL);

        progress.set_msg(QStringLiteral("* * Finished * *"));
        events_run();
        progress.stop_progress();
        get_myviews(ui->regionCombo->currentText());
        get_view_templates(c.KESTREL_CONFIG + QStringLiteral("\\") + ui->projectCombo->currentText());
        busy(false);

        if (!view_tag_exists(created)) {
            msg_box(QStringLiteral("Note: could not determine if the view --> ") + created + CRLF +
                        QStringLiteral("has been created. View may be based on a template file in") + CRLF +
                        QStringLiteral("which case Quillon is unable to determine if the view has been") +
                        CRLF + QStringLiteral("created.  Check My Existing View(s) list below."),
                    MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Finished..."));
            return;
        }
        for (int i = 0; i < ui->myViewsList->count(); ++i) {
            if (ui->myViewsList->item(i)->text() == created)
                ui->myViewsList->setCurrentRow(i);
        }
        msg_box(QStringLiteral("Success: the view --> ") + created + CRLF +
                    QStringLiteral("has been created."),
                MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Finished..."));
    } catch (const std::exception &e) {
        progress.stop_progress();
        busy(false);
        msg_box(QStringLiteral("Error::") + error_description(e) + CRLF +
                    QStringLiteral("Could not create view"),
                MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Error creating view..."));
    }
}
