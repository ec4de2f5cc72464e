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
    if (check && !mayRemove(check->view)) {
        // Another user's view: said before anything is asked or changed.
    } else if (askToRemove(tag, check ? &*check : nullptr, force)) {
        passOver([&] { remove_view(tag, check ? &*check : nullptr, force); });
        passOver([this] { reloadTemplates(); });
        passOver([this] { get_myviews(ui->regionCombo->currentText()); });
    }
    passOver([this] { busy(false); });
}

bool frmMain::mayRemove(const ViewInfo &view)
{
    const QString user = strip_non_ansi(get_login_name());
    if (ownedBy(view, user))
        return true;
    // A tag left by a clean-up that stopped after "unregister": its view is
    // no longer registered, so ClearCase gives no owner; it may be finished.
    if (ownerName(view).isEmpty() &&
        checkStale(CTool(), view.tag, ui->regionCombo->currentText()).state == Staleness::State::Unregistered)
        return true;
    const QString owner = ownerName(view).isEmpty() ? QStringLiteral("(not known)") : view.owner;
    showMessage(QStringLiteral("View --> ") + view.tag + QStringLiteral(" belongs to ") + owner +
                    QStringLiteral(", not to you (") + user + QStringLiteral(").") + CRLF +
                    QStringLiteral("Only its owner can remove it. Nothing was changed."),
                MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Warning..."));
    return false;
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
        if (m_interrupt.isSet()) {
            // Closed while the checkouts were shown: the answer is No.
            showMessage(QStringLiteral("Quillon was closed while the checkouts of view --> ") + tag +
                            QStringLiteral(" were shown.") + CRLF +
                            QStringLiteral("The removal was cancelled: the view was not removed."),
                        MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Remove View"));
            return false;
        }
    }
}

void frmMain::reportLostChange(const QString &what, const QString &tag, bool done, bool notKnown,
                               const QString &why, const QString &checkCommand)
{
    const QString verdict = notKnown ? QStringLiteral("Whether it was done is not known.")
                            : done
                                ? QStringLiteral("ClearCase, asked again, shows it was done.")
                                : QStringLiteral("ClearCase, asked again, shows it was not done (so far).");
    QString text = QStringLiteral("The answer to ") + what + QStringLiteral(" of view --> ") + tag +
                   QStringLiteral(" was lost:") + CRLF + why + CRLF + CRLF + verdict;
    if (!checkCommand.isEmpty())
        text += CRLF + QStringLiteral("To check by hand, run: ") + checkCommand;
    showMessage(text + LOG_HINT, done && !notKnown ? MsgIcon::Information : MsgIcon::Exclamation,
                MsgButtons::Ok,
                done && !notKnown ? QStringLiteral("Finished...") : QStringLiteral("Warning..."));
    // Said once: the refresh that follows does not say it again.
    m_clearCaseErrorShown = true;
}

void frmMain::remove_view(const QString &tag, const RemovalCheck *check, bool force)
{
    if (ui->myViewsList->count() == 0)
        return;
    try {
        const ViewInfo view = check ? check->view : CC().View(tag).info();
        if (!check && !mayRemove(view))
            return;
        const QString region = ui->regionCombo->currentText();
        const RemovalOutcome outcome = removeView(CC(), CTool(), view, force, region);
        if (outcome.lost) {
            reportLostChange(QStringLiteral("the removal"), tag, outcome.removed, outcome.notKnown,
                             outcome.error, outcome.checkCommand);
            return;
        }
        if (outcome.removed)
            return;
        if (outcome.unreachable) {
            offerStaleCleanUp(view, outcome, region);
            return;
        }
        throw ClearCaseError(outcome.error);
    } catch (const std::exception &e) {
        showMessage(QStringLiteral("Warning::") + errorDescription(e) + CRLF +
                        QStringLiteral("Coult not remove view...") + LOG_HINT,
                    MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Warning..."));
    }
}

void frmMain::offerStaleCleanUp(const ViewInfo &view, const RemovalOutcome &failed, const QString &region)
{
    const bool registered = failed.staleness.state == Staleness::State::Stale;
    CleanUpPlan plan;
    try {
        plan = planCleanUp(CTool(), view.tag, registered ? view.uuid : failed.staleness.uuid, region,
                           registered);
    } catch (const ClearCaseError &e) {
        throw ClearCaseError(failed.error + CRLF + e.description());
    }
    QString question =
        QStringLiteral("The storage of view --> ") + view.tag + QStringLiteral(" cannot be reached:") + CRLF +
        failed.error + CRLF + CRLF +
        QStringLiteral("Its tag and registry entries can be removed, so that the tag no longer shows. "
                       "Quillon runs, in this order:") +
        CRLF;
    for (const QStringList &step : plan.steps)
        question += QStringLiteral("   cleartool ") + step.join(QLatin1Char(' ')) + CRLF;
    question +=
        CRLF + QStringLiteral("Tags of the same name that belong to other views are left as they are. "
                              "Whatever is left in the storage is lost. Clean up the view's tag and "
                              "registry entries?");
    if (showMessage(question, MsgIcon::Exclamation, MsgButtons::YesNo, QStringLiteral("Warning...")) !=
        MsgAnswer::Yes)
        return;
    const RemovalOutcome outcome = cleanUpStaleView(CC(), CTool(), plan);
    if (outcome.removed && !outcome.lost) {
        showMessage(QStringLiteral("The tag and registry entries of view --> ") + view.tag +
                        QStringLiteral(" have been removed."),
                    MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Finished..."));
        return;
    }
    QString text = QStringLiteral("Warning::") + outcome.error + CRLF +
                   QStringLiteral("Could not clean up view --> ") + view.tag;
    if (outcome.removed)
        text =
            QStringLiteral("The tag and registry entries of view --> ") + view.tag +
            QStringLiteral(" have been removed; an answer was lost on the way, and ClearCase, asked again, "
                           "showed each step done.");
    if (!outcome.stepsRun.isEmpty() && !outcome.removed)
        text += CRLF + CRLF + QStringLiteral("Done:") + CRLF + QStringLiteral("   ") +
                outcome.stepsRun.join(CRLF + QStringLiteral("   "));
    if (!outcome.stepsLeft.isEmpty())
        text += CRLF + CRLF + QStringLiteral("Not done:") + CRLF + QStringLiteral("   ") +
                outcome.stepsLeft.join(CRLF + QStringLiteral("   ")) + CRLF + CRLF +
                QStringLiteral("Remove the view again to finish the clean-up.");
    if (!outcome.checkCommand.isEmpty())
        text += CRLF + QStringLiteral("To check by hand, run: ") + outcome.checkCommand;
    showMessage(text + LOG_HINT, outcome.removed ? MsgIcon::Information : MsgIcon::Exclamation,
                MsgButtons::Ok,
                outcome.removed ? QStringLiteral("Finished...") : QStringLiteral("Warning..."));
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
