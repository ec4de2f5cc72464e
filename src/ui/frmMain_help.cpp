// The main window's Help menu: the user help, the help desk, getting help
// from the supplier, the About box and the supplier's banner.

#include "ui/frmMain.h"

#include "ui_frmMain.h"

#include "base/errors.h"
#include "ui/appglobals.h"
#include "ui/desktop.h"
#include "ui/frmAbout.h"
#include "ui/frmGettingHelp.h"
#include "ui/frmHelp.h"
#include "ui/messages.h"

#include <QFile>

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
