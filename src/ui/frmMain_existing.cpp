// The main window's operations on existing views: the confirmed removal,
// ClearCase's own start-view, remove-view and find-checkouts programs, and
// the view detail window.
#include "ui/frmMain.h"

#include "base/errors.h"
#include "base/strings.h"
#include "clearcase/clearcase.h"
#include "clearcase/views.h"
#include "site/site_paths.h"
#include "ui/appglobals.h"
#include "ui/frmViewDetail.h"
#include "ui/messages.h"
#include "ui/run_command.h"
#include "ui_frmMain.h"

namespace {
QString selectedText(const QListWidget *list)
{
    const QListWidgetItem *item = list->currentItem();
    return item ? item->text() : QString();
}

QString word(bool flag)
{
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}
} // namespace

void frmMain::removeViewBut_Click()
{
    if (ui->myViewsList->count() == 0)
        return;
    const QString tag = selectedText(ui->myViewsList);
    if (tag.isEmpty())
        return; // nothing selected: nothing to confirm
    // A removal that is under way (its refresh waits in the event loop)
    // takes no second one.
    const ActivityScope removing(*this, Activity::Removing);
    if (!removing)
        return;
    passOver([this] { busy(true); });
    const MsgAnswer answer = showMessage(
        QStringLiteral("You are about to permanently remove view") + CRLF + QStringLiteral("--> ") + tag +
            CRLF + CRLF + QStringLiteral(">>> Are you sure you want to do this?"),
        MsgIcon::Exclamation, MsgButtons::YesNo, QStringLiteral("Warning..."));
    if (answer == MsgAnswer::Yes) {
        QString chosen;
        passOver([&] { remove_view(chosen); });
        passOver([this] {
            get_view_templates(SitePaths(AppGlobals().config).projectDir(ui->projectCombo->currentText()));
        });
        passOver([this] { get_myviews(ui->regionCombo->currentText()); });
    }
    passOver([this] { busy(false); });
}

void frmMain::remove_view(QString &tag)
{
    if (ui->myViewsList->count() == 0)
        return;
    try {
        if (tag.isEmpty())
            tag = selectedText(ui->myViewsList);
        CC().View(tag);
        CTool().CmdExec({QStringLiteral("rmview"), QStringLiteral("-tag"), tag});
    } catch (const std::exception &e) {
        showMessage(QStringLiteral("Warning::") + errorDescription(e) + CRLF +
                        QStringLiteral("Coult not remove view..."),
                    MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Warning..."));
    }
}

void frmMain::StartView_Click()
{
    runTool(CommandLine(QStringLiteral("cleardlg.exe"), {QStringLiteral("/startview")}));
}

void frmMain::RemoveView_Click()
{
    runTool(CommandLine(QStringLiteral("cleardlg.exe"), {QStringLiteral("/removeview")}));
}

void frmMain::FindCO_Click()
{
    runTool(CommandLine(QStringLiteral("clearfindco.exe")));
}

void frmMain::runTool(const CommandLine &tool)
{
    // The tools' menu items are disabled while an operation runs; the
    // hidden buttons follow them.
    if (!m_states.idle())
        return;
    RunOptions options;
    options.interrupt = &m_interrupt;
    run_command(tool, WINDOW_NORMAL, options);
}

void frmMain::myViewsList_DblClick()
{
    passOver([this] { show_view_detail(); });
}

void frmMain::show_view_detail()
{
    if (ui->myViewsList->count() == 0)
        return;
    const ActivityScope reading(*this, Activity::ReadingDetail);
    if (!reading)
        return;
    const QString tag = selectedText(ui->myViewsList);
    frmViewDetail &detail = AppGlobals().viewDetail();
    try {
        const CCView view = CC().View(tag);
        setTip(ui->myViewsList, tag);
        detail.hide();
        detail.mainLabel()->setText(QStringLiteral("View Name: ") + view.TagName() + CRLF +
                                    QStringLiteral("Is Active: ") + word(view_active(CTool(), tag)) + CRLF +
                                    QStringLiteral("Is Snapshot: ") + word(view.IsSnapShot()) + CRLF +
                                    QStringLiteral("Is UCM View: ") + word(view.IsUCMView()) + CRLF +
                                    QStringLiteral("View Server Host: ") + view.Host() + CRLF);
        detail.detailTxt(0)->clear();
        detail.detailTxt(1)->clear();
        detail.detailTxt(0)->setPlainText(replace_char(QStringLiteral("\n"), CRLF, view.ConfigSpec()));
        detail.detailTxt(1)->setPlainText(
            CTool().CmdExec({QStringLiteral("lsview"), QStringLiteral("-l"), QStringLiteral("-full"),
                             QStringLiteral("-properties"), view.TagName()}));
        detail.show();
        detail.raise();
        detail.activateWindow();
    } catch (const std::exception &) {
        showMessage(QStringLiteral("Failed to get information on view --> ") + tag, MsgIcon::Critical,
                    MsgButtons::Ok, QStringLiteral("Error Encountered..."));
    }
}
