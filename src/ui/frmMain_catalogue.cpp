// The main window's template catalogue: a project's templates listed as the
// view tags they give the current user, with their status markers, and the
// display of the selected template.
#include "ui/frmMain.h"

#include "base/arguments.h"
#include "base/errors.h"
#include "base/platform.h"
#include "base/process.h"
#include "base/strings.h"
#include "base/textfile.h"
#include "site/site_paths.h"
#include "site/template_text.h"
#include "site/templates.h"
#include "ui/appglobals.h"
#include "ui/frmProgress.h"
#include "ui/helpers.h"
#include "ui/messages.h"
#include "ui/run_command.h"
#include "ui_frmMain.h"

#include <QCoreApplication>

void frmMain::get_view_templates(const QString &dir)
{
    AppGlobalsData &g = AppGlobals();
    const QString full = SitePaths(g.config).onHost(dir);
    ui->viewsList->clear();
    const QString project = ui->projectCombo->currentText();
    if (project == QLatin1String("ri2zad") || project == QLatin1String("<choose project>"))
        return;
    if (!file_exists(full, true)) {
        showMessage(QStringLiteral("ERROR: Directory not exist --> ") + platform::toLocalPath(full), MsgIcon::Critical);
        return;
    }

    QString user = strip_non_ansi(get_login_name());
    if (isWord(g.config.IS_INTEROP, "true") && ui->usernameMappingCB->isChecked() &&
        ui->usernameMappingTxt->text() != QLatin1String("<enter user name>"))
        user = ui->usernameMappingTxt->text();
    g.tag_user = user;
    g.unix_user = user;
    ui->userNameLbl->setText(user.toLower());
    setTip(ui->pwdTxt, QStringLiteral("Enter UNIX password for user ") + user);

    ui->viewStatusList->setEnabled(true);
    ui->viewStatusList->clear();
    g.view_templates.clear();
    Catalogue catalogue = loadCatalogue(full, user, CC(), CTool(), [] { QCoreApplication::processEvents(); });
    for (const auto &[file, why] : catalogue.descriptionErrors)
        showMessage(QStringLiteral("Error getting view description for --> ") + platform::toLocalPath(file) + QStringLiteral(":: ") +
                        why,
                    MsgIcon::Critical);
    if (!catalogue.listingError.isEmpty()) {
        // What the previous project showed is not this one's.
        ui->descTxt->clear();
        ui->txtMsg->hide();
        showMessage(QStringLiteral("Error reading config directory --> ") + platform::toLocalPath(full), MsgIcon::Critical);
        return;
    }
    // The rows, their markers and the records go in together: the lists
    // never show another load's rows or markers.
    g.view_templates = std::move(catalogue.templates);
    QStringList tags, markers;
    for (const TemplateRecord &r : g.view_templates) {
        tags << r.tag;
        markers << r.status;
    }
    ui->viewStatusList->addItems(markers);
    ui->viewsList->addItems(tags);
    // The markers are letters; screen readers read each row's status in words.
    for (int row = 0; row < ui->viewsList->count(); ++row) {
        const QString words = statusInWords(markers.at(row));
        ui->viewsList->item(row)->setData(Qt::AccessibleDescriptionRole, words);
        ui->viewStatusList->item(row)->setData(Qt::AccessibleTextRole, words);
    }
    if (!catalogue.clearcaseError.isEmpty())
        reportClearCaseError(catalogue.clearcaseError);
    if (ui->viewsList->count() >= 1)
        ui->viewsList->setCurrentRow(0);
    ui->viewStatusList->setEnabled(false);
}

void frmMain::projectCombo_Click()
{
    const ActivityScope loading(*this, Activity::LoadingProject);
    if (!loading)
        return;
    frmProgress &progress = AppGlobals().progress();
    try {
        busy(true);
        progress.start_progress(QStringLiteral("Getting all type of views..."));
        QCoreApplication::processEvents();
        if (!first_click_done) {
            change_op_mode();
            first_click_done = true;
            updateMyViewsPlaceholder();
        } else {
            QCoreApplication::processEvents();
            reloadTemplates();
            get_myviews(ui->regionCombo->currentText());
        }
        enable_controls(true, false);
    } catch (const std::exception &e) {
        standardError(errorDescription(e), 5);
    }
    progress.stop_progress();
    busy(false);
}

QString frmMain::read_template_text(const QString &file_name)
{
    try {
        // What the window shows of a template is bounded whatever the file
        // holds; "View" opens it whole.
        return shownTemplateText(
            SitePaths(AppGlobals().config).templateFile(ui->projectCombo->currentText(), file_name),
            !ui->opModeCB->isChecked());
    } catch (const std::exception &e) {
        showMessage(QStringLiteral("Error:") + errorDescription(e), MsgIcon::Critical, MsgButtons::Ok,
                    QStringLiteral("Error getting details..."));
        return QString();
    }
}

void frmMain::viewsList_Click()
{
    ui->txtMsg->hide();
    const int i = ui->viewsList->currentRow();
    const auto &templates = AppGlobals().view_templates;
    if (ui->viewsList->count() == 0 || i < 0 || size_t(i) >= templates.size())
        return;
    const TemplateRecord r = templates[size_t(i)];
    passOver([&] {
        if (r.is_snapshot)
            ui->readOnlyConfigCB->setChecked(false);
    });
    passOver([&] { ui->descTxt->setPlainText(r.description); });
    passOver([&] {
        ui->viewStatusList->setEnabled(true);
        ui->viewStatusList->setCurrentRow(i);
        ui->viewStatusList->setEnabled(false);
    });
    const QString tag = ui->viewsList->item(i)->text();
    passOver([&] {
        ui->txtConfigSpec->setPlainText(QStringLiteral(
            "[ Click view in the 'Select View:' list to display contents of the Config Spec Template file]"));
        ui->txtConfigSpec->setPlainText(read_template_text(r.file_name));
        ui->txtConfigSpec->show();
    });
    passOver([&] {
        for (int row = 0; row < ui->myViewsList->count(); ++row) {
            if (ui->myViewsList->item(row)->text().toLower() == tag)
                ui->myViewsList->setCurrentRow(row);
        }
    });
    passOver([&] {
        QString note;
        if (r.status == QLatin1String("CS"))
            note.clear();
        else if (r.status.contains(QLatin1Char('A')))
            note = QStringLiteral("NOTE: View ") + tag + QStringLiteral(" has been created and is active");
        else if (r.status.contains(QLatin1Char('C')))
            note = QStringLiteral("NOTE: View ") + tag + QStringLiteral(" has been created by is not active");
        showNote(note);
    });
}

void frmMain::reloadTemplates()
{
    get_view_templates(SitePaths(AppGlobals().config).projectDir(ui->projectCombo->currentText()));
}

void frmMain::edit_view_template()
{
    if (ui->viewsList->count() == 0) {
        showMessage(QStringLiteral("You must first selecct a project"), MsgIcon::Information);
        return;
    }
    passOver([this] {
        const TemplateRecord &r = AppGlobals().view_templates.at(size_t(ui->viewsList->currentRow()));
        openInEditor(
            SitePaths(AppGlobals().config).templateFile(ui->projectCombo->currentText(), r.file_name));
    });
}

RunResult frmMain::openInEditor(const QString &path)
{
    // The editor box names the program; the path is one argument, whatever
    // it holds.
    CommandLine editor(ui->useEditorTxt->text());
    editor.arg(path, CommandLine::Kind::LocalPath);
    RunOptions options;
    options.interrupt = &m_interrupt;
    return run_command(editor, WINDOW_NORMAL, options);
}

void frmMain::viewBut_Click()
{
    if (m_states.idle())
        passOver([this] { edit_view_template(); });
}

void frmMain::viewsList_DblClick()
{
    if (m_states.idle() && ui->viewsList->count() >= 1)
        passOver([this] { edit_view_template(); });
}
