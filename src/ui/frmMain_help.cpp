// The main window's Help menu: the user help, the command log, the help
// desk, getting help from the supplier, the About box and the supplier's
// banner.

#include "ui/frmMain.h"

#include "ui_frmMain.h"

#include "base/command_log.h"
#include "base/errors.h"
#include "ui/appglobals.h"
#include "ui/desktop.h"
#include "ui/frmAbout.h"
#include "ui/frmGettingHelp.h"
#include "ui/frmHelp.h"
#include "ui/frmTable.h"
#include "ui/messages.h"

#include <QFile>
#include <QPointer>
#include <QTreeWidget>

void frmMain::content_Click()
{
    frmHelp *help = nullptr;
    try {
        if (!QFile::exists(frmHelp::contentsUrl().path().prepend(QLatin1Char(':'))))
            throw QuillonError(QStringLiteral("The help is missing from this build of the program"));
        help = &AppGlobals().help();
    } catch (const std::exception &e) {
        standardError(errorDescription(e), 2);
        return;
    }

    try {
        help->showContents();
        help->show();
        help->raise();
        help->activateWindow();
    } catch (const std::exception &e) {
        showMessage(errorDescription(e));
    }
}

void frmMain::HelpDesk_Click()
{
    passOver([this] { openUrl(ui->helpDeskTxt->text()); });
}

void frmMain::GettingHelp_Click()
{
    AppGlobals().gettingHelp().exec();
}

void frmMain::About_Click()
{
    AppGlobals().about().exec();
}

void frmMain::logoImage_Click()
{
    openUrl(SUPPLIER_SITE);
}

namespace {
// One command of the log as the Command Log shows it.
QStringList commandLogRow(const CommandRecord &r)
{
    QString exit;
    if (!r.ran)
        exit = QStringLiteral("not started");
    else if (r.detached)
        exit = QStringLiteral("started");
    else if (r.interrupted)
        exit = QStringLiteral("left running");
    else if (r.timedOut)
        exit = QStringLiteral("no answer");
    else if (r.crashed && r.signal != 0)
        exit = QStringLiteral("signal %1").arg(r.signal);
    else if (r.crashed)
        exit = QStringLiteral("crashed");
    else if (r.noStatus)
        exit = QStringLiteral("no status");
    else
        exit = QString::number(r.exitCode);
    // A question about a tag that is not there is answered, not failed:
    // ClearCase says so with status 1.
    QString said = r.firstError;
    if (r.source == CommandRecord::Source::ClearCase && r.exitCode == 1 &&
        said.contains(QLatin1String("No matching entries"), Qt::CaseInsensitive)) {
        exit = QStringLiteral("answered");
        said = QStringLiteral("none found: ") + said;
    }
    const bool timed = r.ran && !r.detached;
    return {r.started.toString(QStringLiteral("HH:mm:ss")), exit,
            timed ? QStringLiteral("%1 ms").arg(r.durationMs) : QString(), r.command, said};
}
} // namespace

void frmMain::CommandLog_Click()
{
    frmTable &log = AppGlobals().commandLog();
    QList<QStringList> rows;
    for (const CommandRecord &r : commandlog::entries())
        rows << commandLogRow(r);
    log.setRows(rows);
    log.setCaption(QStringLiteral("Every program and cleartool command Quillon started in this run, newest "
                                  "last (the last %1 are kept, in memory only). Passwords are shown as "
                                  "********.")
                       .arg(kCommandLogSize));
    // Commands run while it is open are added as they end.
    commandlog::setListener([open = QPointer<frmTable>(&log)] {
        if (!open || !open->isVisible() || commandlog::entries().empty())
            return;
        open->appendRow(commandLogRow(commandlog::entries().back()));
        open->keepLast(int(kCommandLogSize));
    });
    log.show();
    log.raise();
    log.activateWindow();
    // It opens on the newest row.
    QTreeWidget *list = log.rowsList();
    if (const int count = list->topLevelItemCount(); count > 0)
        list->setCurrentItem(list->topLevelItem(count - 1));
    list->scrollToBottom();
}
