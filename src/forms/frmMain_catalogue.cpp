// The main window's template catalogue: a project's templates listed as the
// view tags they give the current user, with their status markers, and the
// display of the selected template.
#include "forms/frmMain.h"

#include "forms/frmProgress.h"
#include "main/appglobals.h"
#include "main/mainModule.h"
#include "outside/clearcase.h"
#include "outside/platform.h"
#include "ui_frmMain.h"
#include "utils/errors.h"
#include "utils/helpers.h"
#include "utils/messages.h"
#include "utils/run_command.h"
#include "utils/template_description.h"
#include "utils/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QString BACKSLASH = QStringLiteral("\\");

// What the window shows of one template at most: its text (without line
// wrapping), and its description, which wraps in a small box: a long line
// without blanks costs seconds to wrap beyond a few ten thousand characters.
constexpr qsizetype kShownTextLimit = 256 * 1024;
constexpr qsizetype kShownDescriptionLimit = 16 * 1024;
const QString SHOWN_CUT_NOTE = QStringLiteral(
    " [...] [The rest is not shown here: it is in the template file, which \"View\" opens whole.]");

// What ClearCase says of a set of tags, asked in two commands for all of
// them; each answer equals the one the single question would give. When
// ClearCase cannot answer, error says why and nothing is known.
struct TagStates {
    QHash<QString, ViewInfo> views; // the tags that exist
    QSet<QString> active;           // the tags whose lsview line has "*"
    QString error;
};

TagStates ask_about(frmMain *w, const QStringList &tags)
{
    TagStates s;
    try {
        s.views = w->CC().LookupViews(tags);
        s.active = w->CTool().ActiveByAsterisk(tags);
    } catch (const ClearCaseError &e) {
        s.error = e.description();
    }
    return s;
}

// The marker of a template whose state ClearCase could not tell.
const QString UNKNOWN_STATUS = QStringLiteral("?");

QString status_of(const TagStates &s, const QString &lower, const QString &typed)
{
    if (!s.error.isEmpty())
        return UNKNOWN_STATUS;
    QString status = QStringLiteral("U");
    if (s.active.contains(lower) || s.active.contains(typed))
        status = QStringLiteral("A");
    else if (s.views.contains(lower) || s.views.contains(typed))
        status = QStringLiteral("C");
    const bool snapshot = (s.views.contains(lower) && s.views.value(lower).snapshot) ||
                          (s.views.contains(typed) && s.views.value(typed).snapshot);
    if (snapshot)
        status += QLatin1Char('S');
    return status;
}
} // namespace

void frmMain::get_view_templates(const QString &dir)
{
    AppGlobalsData &g = AppGlobals();
    const QString full = QStringLiteral("\\\\") + g.config.HOST + dir;
    ui->viewsList->clear();
    const QString project = ui->projectCombo->currentText();
    if (project == QLatin1String("ri2zad") || project == QLatin1String("<choose project>"))
        return;
    if (!file_exists(full, true)) {
        msg_box(QStringLiteral("ERROR: Directory not exist --> ") + full, MsgIcon::Critical);
        return;
    }

    QString user = strip_non_ansi(get_login_name());
    if (g.config.IS_INTEROP.toLower() == QLatin1String("true") && ui->usernameMappingCB->isChecked() &&
        ui->usernameMappingTxt->text() != QLatin1String("<enter user name>"))
        user = ui->usernameMappingTxt->text();
    g.tag_user = user;
    g.unix_user = user;
    ui->userNameLbl->setText(user.toLower());
    set_tip(ui->pwdTxt, QStringLiteral("Enter UNIX password for user ") + user);

    ui->viewStatusList->setEnabled(true);
    ui->viewStatusList->clear();
    g.view_templates.clear();
    try {
        // A folder that exists but cannot be listed is a failure, not an
        // empty project.
        QString why;
        const std::optional<QStringList> listed = platform::list_files(platform::to_local_path(full), &why);
        if (!listed)
            throw QuillonError(why);
        const QStringList &names = *listed;
        QStringList typed_tags;
        QStringList asked;
        std::vector<TemplateRecord> templates;
        for (const QString &name : names) {
            QCoreApplication::processEvents();
            if (name == QLatin1String(".defaults") || name == QLatin1String("kestrel.dft"))
                continue;
            TemplateRecord r;
            r.path = full + BACKSLASH + name;
            r.file_name = name;
            r.description = get_view_description(r.path, r.is_snapshot);
            r.tag = user.toLower() + QStringLiteral("__") + name;
            r.status = QStringLiteral("U");
            typed_tags << user + QStringLiteral("__") + name;
            asked << r.tag;
            if (typed_tags.last() != r.tag)
                asked << typed_tags.last();
            templates.push_back(r);
        }
        const TagStates states = ask_about(this, asked);
        // The rows, their markers and the records go in together: the lists
        // never show another load's rows or markers.
        for (size_t i = 0; i < templates.size(); ++i)
            templates[i].status = status_of(states, templates[i].tag, typed_tags.at(qsizetype(i)));
        g.view_templates = std::move(templates);
        QStringList tags, markers;
        for (const TemplateRecord &r : g.view_templates) {
            tags << r.tag;
            markers << r.status;
        }
        ui->viewStatusList->addItems(markers);
        ui->viewsList->addItems(tags);
        if (!states.error.isEmpty())
            report_clearcase_error(states.error);
    } catch (const std::exception &) {
        // What the previous project showed is not this one's.
        ui->descTxt->clear();
        ui->txtMsg->hide();
        msg_box(QStringLiteral("Error reading config directory --> ") + full, MsgIcon::Critical);
        return;
    }
    if (ui->viewsList->count() >= 1)
        ui->viewsList->setCurrentRow(0);
    ui->viewStatusList->setEnabled(false);
}

QString frmMain::get_view_description(const QString &file, bool &is_snapshot)
{
    TemplateDescription d;
    try {
        const auto f = open_text_file(file);
        read_template_description(*f, kShownDescriptionLimit, d);
    } catch (const std::exception &e) {
        is_snapshot = d.snapshot;
        msg_box(QStringLiteral("Error getting view description for --> ") + file + QStringLiteral(":: ") +
                    error_description(e),
                MsgIcon::Critical);
        return QString();
    }
    is_snapshot = d.snapshot;
    return d.text;
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
        } else {
            QCoreApplication::processEvents();
            get_view_templates(AppGlobals().config.KESTREL_CONFIG + BACKSLASH +
                               ui->projectCombo->currentText());
            get_myviews(ui->regionCombo->currentText());
        }
        enable_controls(true, false);
    } catch (const std::exception &e) {
        standard_error(error_description(e), 5);
    }
    progress.stop_progress();
    busy(false);
}

QString frmMain::read_template_text(const QString &file_name)
{
    const ConfigRecord &c = AppGlobals().config;
    const QString path = QStringLiteral("\\\\") + c.HOST + c.KESTREL_CONFIG + BACKSLASH +
                         ui->projectCombo->currentText() + BACKSLASH + file_name;
    QString text;
    try {
        // What the window shows of a template is bounded whatever the file
        // holds; "View" opens it whole.
        const TextStart start = read_text_start(path, kShownTextLimit);
        const bool nt_only = ui->opModeCB->isChecked();
        for (const QString &line : start.lines)
            text += (nt_only ? line : lf_to_crlf(line)) + CRLF;
        if (start.cut)
            text +=
                QStringLiteral("[Only the first %1 KB of this %2 MB file are shown here; \"View\" opens it "
                               "whole.]")
                    .arg(kShownTextLimit / 1024)
                    .arg(double(start.file_size) / (1024 * 1024), 0, 'f', 1) +
                CRLF;
    } catch (const std::exception &e) {
        msg_box(QStringLiteral("Error:") + error_description(e), MsgIcon::Critical, MsgButtons::Ok,
                QStringLiteral("Error getting details..."));
        return QString();
    }
    return text;
}

void frmMain::viewsList_Click()
{
    ui->txtMsg->hide();
    const int i = ui->viewsList->currentRow();
    const auto &templates = AppGlobals().view_templates;
    if (ui->viewsList->count() == 0 || i < 0 || size_t(i) >= templates.size())
        return;
    const TemplateRecord r = templates[size_t(i)];
    pass_over([&] {
        if (r.is_snapshot)
            ui->readOnlyConfigCB->setChecked(false);
    });
    pass_over([&] { ui->descTxt->setPlainText(r.description); });
    pass_over([&] {
        ui->viewStatusList->setEnabled(true);
        ui->viewStatusList->setCurrentRow(i);
        ui->viewStatusList->setEnabled(false);
    });
    const QString tag = ui->viewsList->item(i)->text();
    pass_over([&] {
        ui->txtConfigSpec->setPlainText(QStringLiteral(
            "[ Click view in the 'Select View:' list to display contents of the Config Spec Template file]"));
        ui->txtConfigSpec->setPlainText(read_template_text(r.file_name));
        ui->txtConfigSpec->show();
    });
    pass_over([&] {
        for (int row = 0; row < ui->myViewsList->count(); ++row) {
            if (ui->myViewsList->item(row)->text().toLower() == tag)
                ui->myViewsList->setCurrentRow(row);
        }
    });
    pass_over([&] {
        QString note;
        if (r.status == QLatin1String("CS"))
            note.clear();
        else if (r.status.contains(QLatin1Char('A')))
            note = QStringLiteral("NOTE: View ") + tag + QStringLiteral(" has been created and is active");
        else if (r.status.contains(QLatin1Char('C')))
            note = QStringLiteral("NOTE: View ") + tag + QStringLiteral(" has been created by is not active");
        ui->txtMsg->setPlainText(note);
        ui->txtMsg->setVisible(!note.isEmpty());
    });
}

void frmMain::edit_view_template()
{
    if (ui->viewsList->count() == 0) {
        msg_box(QStringLiteral("You must first selecct a project"), MsgIcon::Information);
        return;
    }
    pass_over([this] {
        const ConfigRecord &c = AppGlobals().config;
        const TemplateRecord &r = AppGlobals().view_templates.at(size_t(ui->viewsList->currentRow()));
        // The editor box names the program; the template's path is one
        // argument, whatever it holds.
        CommandLine editor(ui->useEditorTxt->text());
        editor.arg(QStringLiteral("\\\\") + c.HOST + c.KESTREL_CONFIG + BACKSLASH +
                       ui->projectCombo->currentText() + BACKSLASH + r.file_name,
                   CommandLine::Kind::LocalPath);
        RunOptions options;
        options.interrupt = &m_interrupt;
        run_command(editor, WINDOW_NORMAL, options);
    });
}

void frmMain::viewBut_Click()
{
    if (m_states.idle())
        pass_over([this] { edit_view_template(); });
}

void frmMain::viewsList_DblClick()
{
    if (m_states.idle() && ui->viewsList->count() >= 1)
        pass_over([this] { edit_view_template(); });
}

QString frmMain::gcsv(const QString &path)
{
    if (!file_exists(path, false)) {
        msg_box(QStringLiteral("(gcsv): File does not exist --> ") + path, MsgIcon::Critical);
        return QStringLiteral("FAILED");
    }
    try {
        return read_last_line(path);
    } catch (const std::exception &e) {
        msg_box(QStringLiteral("Failed to get view tag --> ") + path + error_description(e),
                MsgIcon::Critical);
        return QString();
    }
}
