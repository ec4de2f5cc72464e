// The main window's view detail window: the summary, the view's age, its
// config spec and long listing.
#include "ui/frmMain.h"

#include "base/arguments.h"
#include "base/errors.h"
#include "base/strings.h"
#include "clearcase/clearcase.h"
#include "clearcase/view_ops.h"
#include "clearcase/views.h"
#include "site/site_paths.h"
#include "ui/appglobals.h"
#include "ui/frmViewDetail.h"
#include "ui/helpers.h"
#include "ui/messages.h"
#include "ui/run_command.h"
#include "ui_frmMain.h"

namespace {
QString word(bool flag)
{
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}
} // namespace

void frmMain::showViewAge(frmViewDetail &detail, const QString &listing)
{
    ViewInfo dated;
    for (const ViewInfo &info : ccparse::parseLsviewLong(listing)) {
        if (info.tag == detail.viewTag() || dated.tag.isEmpty())
            dated = info;
    }
    QString accessed = shownDate(dated.accessed);
    if (dated.accessed.isValid())
        accessed +=
            QStringLiteral(" (") + daysAgo(dated.accessed, QDateTime::currentDateTime()) + QLatin1Char(')');
    detail.ageLbl()->setText(QStringLiteral("Created: ") + shownDate(dated.created) + CRLF +
                             QStringLiteral("Last modified: ") + shownDate(dated.modified) + CRLF +
                             QStringLiteral("Last accessed: ") + accessed);
}

QString frmMain::selectedView() const
{
    const QListWidgetItem *item = ui->myViewsList->currentItem();
    return item ? item->text() : QString();
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
    const QString tag = selectedView();
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
        detail.ageLbl()->clear();
        detail.detailTxt(0)->setPlainText(replace_char(QStringLiteral("\n"), CRLF, view.ConfigSpec()));
        const QString listing =
            CTool().CmdExec({QStringLiteral("lsview"), QStringLiteral("-l"), QStringLiteral("-full"),
                             QStringLiteral("-properties"), view.TagName()});
        detail.detailTxt(1)->setPlainText(listing);
        // Its config spec is the owner's to change; a snapshot view's is
        // changed inside the view, which the button explains.
        detail.setView(view.TagName(),
                       view.IsSnapShot() || ownedBy(view.info(), strip_non_ansi(get_login_name())),
                       QStringLiteral("Only the view's owner, ") + view.info().owner +
                           QStringLiteral(", can change its config spec"));
        showViewAge(detail, listing);
        connect(&detail, &frmViewDetail::editConfigSpecRequested, this, &frmMain::editConfigSpec,
                Qt::UniqueConnection);
        detail.show();
        detail.raise();
        detail.activateWindow();
    } catch (const std::exception &) {
        showMessage(QStringLiteral("Failed to get information on view --> ") + tag + LOG_HINT,
                    MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Error Encountered..."));
    }
}
