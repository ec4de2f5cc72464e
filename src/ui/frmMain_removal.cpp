// The main window's removal of a view: what it would lose asked first, the
// question, the removal, the clean-up of a tag whose storage is gone; the
// Tools menu (ClearCase's own programs on Windows, the window's own start,
// removal and checkouts elsewhere).
#include "ui/frmMain.h"

#include "base/arguments.h"
#include "base/errors.h"
#include "base/platform.h"
#include "base/strings.h"
#include "clearcase/view_ops.h"
#include "ui/appglobals.h"
#include "ui/frmTable.h"
#include "ui/messages.h"
#include "ui/run_command.h"
#include "ui_frmMain.h"

namespace {

// How many checked-out paths the question names.
constexpr int kPathsNamed = 5;

QString counted(qsizetype n, const QString &one, const QString &many)
{
    return QString::number(n) + QLatin1Char(' ') + (n == 1 ? one : many);
}

QString removalQuestion(const QString &tag)
{
    return QStringLiteral("You are about to permanently remove view") + CRLF + QStringLiteral("--> ") + tag +
           CRLF + CRLF + QStringLiteral(">>> Are you sure you want to do this?");
}

// What would be lost, said plainly before the question.
QString lossText(const RemovalCheck &check)
{
    QString text = QStringLiteral("Removing view ") + check.view.tag +
                   QStringLiteral(" throws away work that exists only in the view:") + CRLF;
    if (!check.checkouts) {
        text +=
            QStringLiteral("   Its checked-out files could not be listed: ") + check.checkoutsError + CRLF;
    } else if (!check.checkouts->isEmpty()) {
        const QList<Checkout> &cos = *check.checkouts;
        text += QStringLiteral("   ") +
                counted(cos.size(), QStringLiteral("checked-out file"), QStringLiteral("checked-out files"));
        text += cos.size() > kPathsNamed ? QStringLiteral(", among them:") : QStringLiteral(":");
        text += CRLF;
        for (qsizetype i = 0; i < cos.size() && i < kPathsNamed; ++i)
            text += QStringLiteral("      ") + cos.at(i).path + CRLF;
    }
    if (!check.privateError.isEmpty())
        text += QStringLiteral("   Its view-private files could not be listed: ") + check.privateError + CRLF;
    else if (check.privateFiles.value_or(0) > 0)
        text += QStringLiteral("   ") +
                counted(*check.privateFiles, QStringLiteral("view-private file"),
                        QStringLiteral("view-private files")) +
                CRLF;
    if (check.view.active && !check.view.snapshot)
        text += QStringLiteral("The view is active: Quillon ends it first.") + CRLF;
    return text;
}

QList<QStringList> checkoutRows(const QList<Checkout> &checkouts)
{
    QList<QStringList> rows;
    rows.reserve(checkouts.size());
    for (const Checkout &c : checkouts) {
        rows << QStringList{c.path, c.reserved ? QStringLiteral("reserved") : QStringLiteral("unreserved"),
                            c.date.isValid()
                                ? c.date.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                : c.dateText};
    }
    return rows;
}

} // namespace

frmTable &frmMain::showCheckouts(const QString &tag, const QList<Checkout> &checkouts)
{
    frmTable &table = AppGlobals().checkouts();
    table.setWindowTitle(QStringLiteral("Checkouts of ") + tag);
    QString caption = QStringLiteral("View ") + tag;
    if (checkouts.isEmpty())
        caption += QStringLiteral(" has no checked-out files.");
    else
        caption += QStringLiteral(" has ") +
                   counted(checkouts.size(), QStringLiteral("checked-out file"),
                           QStringLiteral("checked-out files")) +
                   QStringLiteral(". Their changes are lost when the view is removed.");
    table.setCaption(caption);
    table.setRows(checkoutRows(checkouts));
    return table;
}

void frmMain::removeViewBut_Click()
{
    if (ui->myViewsList->count() == 0)
        return;
    const QString tag = selectedView();
    if (tag.isEmpty())
        return; // nothing selected: nothing to confirm
    // A removal that is under way (its refresh waits in the event loop)
    // takes no second one.
    const ActivityScope removing(*this, Activity::Removing);
    if (!removing)
        return;
    passOver([this] { busy(true); });
    // What the removal would lose, asked before the question. A tag that
    // ClearCase does not know gets the plain question, and the removal then
    // says why it fails.
    std::optional<RemovalCheck> check;
    try {
        check = checkRemoval(CC(), CTool(), tag);
    } catch (const ClearCaseError &) {
    }
    bool force = false;
    if (askToRemove(tag, check ? &*check : nullptr, force)) {
        passOver([&] { remove_view(tag, check ? &*check : nullptr, force); });
        passOver([this] { reloadTemplates(); });
        passOver([this] { get_myviews(ui->regionCombo->currentText()); });
    }
    passOver([this] { busy(false); });
}

bool frmMain::askToRemove(const QString &tag, const RemovalCheck *check, bool &force)
{
    force = false;
    if (!check || check->nothingToLose())
        return showMessage(removalQuestion(tag), MsgIcon::Exclamation, MsgButtons::YesNo,
                           QStringLiteral("Warning...")) == MsgAnswer::Yes;
    const bool hasCheckouts = check->checkouts && !check->checkouts->isEmpty();
    const QString text = lossText(*check) + CRLF + removalQuestion(tag);
    for (;;) {
        const MsgAnswer answer = showMessage(
            text, MsgIcon::Exclamation, hasCheckouts ? MsgButtons::RemoveKeepShow : MsgButtons::RemoveKeep,
            QStringLiteral("Warning..."));
        if (answer != MsgAnswer::ShowCheckouts) {
            // The user has just been told of the checkouts: rmview may
            // take them.
            force = answer == MsgAnswer::Remove && hasCheckouts;
            return answer == MsgAnswer::Remove;
        }
        showCheckouts(tag, *check->checkouts).exec();
    }
}

void frmMain::remove_view(const QString &tag, const RemovalCheck *check, bool force)
{
    if (ui->myViewsList->count() == 0)
        return;
    try {
        const ViewInfo view = check ? check->view : CC().View(tag).info();
        const RemovalOutcome outcome = removeView(CC(), CTool(), view, force);
        if (outcome.removed)
            return;
        if (outcome.unreachable && ownedBy(view, strip_non_ansi(get_login_name()))) {
            offerStaleCleanUp(view, outcome.error);
            return;
        }
        throw ClearCaseError(outcome.error);
    } catch (const std::exception &e) {
        showMessage(QStringLiteral("Warning::") + errorDescription(e) + CRLF +
                        QStringLiteral("Coult not remove view...") + LOG_HINT,
                    MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Warning..."));
    }
}

void frmMain::offerStaleCleanUp(const ViewInfo &view, const QString &error)
{
    const QString question =
        QStringLiteral("The storage of view --> ") + view.tag + QStringLiteral(" cannot be reached:") + CRLF +
        error + CRLF + CRLF +
        QStringLiteral("Its tag and registry entries can be removed, so that the tag no longer shows. "
                       "Quillon runs, in this order:") +
        CRLF + QStringLiteral("   cleartool rmtag -view -all ") + view.tag + CRLF +
        QStringLiteral("   cleartool unregister -view -uuid ") + view.uuid + CRLF +
        QStringLiteral("   cleartool rmview -force -all -uuid ") + view.uuid + CRLF + CRLF +
        QStringLiteral(
            "Whatever is left in the storage is lost. Clean up the view's tag and registry entries?");
    if (showMessage(question, MsgIcon::Exclamation, MsgButtons::YesNo, QStringLiteral("Warning...")) !=
        MsgAnswer::Yes)
        return;
    const RemovalOutcome outcome = cleanUpStaleView(CC(), CTool(), view);
    if (outcome.removed)
        showMessage(QStringLiteral("The tag and registry entries of view --> ") + view.tag +
                        QStringLiteral(" have been removed."),
                    MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Finished..."));
    else
        showMessage(QStringLiteral("Warning::") + outcome.error + CRLF +
                        QStringLiteral("Could not clean up view --> ") + view.tag + LOG_HINT,
                    MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Warning..."));
}

void frmMain::StartView_Click()
{
    if (platform::hasClearCaseDialogs())
        runTool(CommandLine(QStringLiteral("cleardlg.exe"), {QStringLiteral("/startview")}));
    else
        startSelectedView();
}

void frmMain::RemoveView_Click()
{
    if (platform::hasClearCaseDialogs())
        runTool(CommandLine(QStringLiteral("cleardlg.exe"), {QStringLiteral("/removeview")}));
    else
        removeViewBut_Click();
}

void frmMain::FindCO_Click()
{
    if (platform::hasClearCaseDialogs())
        runTool(CommandLine(QStringLiteral("clearfindco.exe")));
    else
        showSelectedCheckouts();
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

QString frmMain::chosenView()
{
    const QString tag = selectedView();
    if (tag.isEmpty())
        showMessage(QStringLiteral("First select a view in the 'My Existing View(s):' list."),
                    MsgIcon::Information);
    return tag;
}

void frmMain::startSelectedView()
{
    const QString tag = chosenView();
    if (tag.isEmpty())
        return;
    const ActivityScope starting(*this, Activity::StartingView);
    if (!starting)
        return;
    passOver([this] { busy(true); });
    try {
        CTool().CmdExec({QStringLiteral("startview"), tag});
    } catch (const ClearCaseError &e) {
        reportClearCaseError(e.description());
    }
    // Its marker in the template list.
    if (ui->projectCombo->currentIndex() >= 0)
        passOver([this] { reloadTemplates(); });
    passOver([this] { busy(false); });
}

void frmMain::showSelectedCheckouts()
{
    const QString tag = chosenView();
    if (tag.isEmpty())
        return;
    const ActivityScope reading(*this, Activity::ReadingDetail);
    if (!reading)
        return;
    try {
        const ViewInfo view = CC().View(tag).info();
        frmTable &table = showCheckouts(tag, viewCheckouts(CTool(), view.uuid));
        table.show();
        table.raise();
        table.activateWindow();
    } catch (const ClearCaseError &e) {
        reportClearCaseError(e.description());
    }
}
