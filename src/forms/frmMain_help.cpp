// The main window's Help menu: the user help, the help desk, getting help
// from the supplier, the About box and the supplier's banner.

#include "forms/frmMain.h"

#include "ui_frmMain.h"

#include "forms/frmAbout.h"
#include "forms/frmGettingHelp.h"
#include "forms/frmHelp.h"
#include "main/appglobals.h"
#include "outside/platform.h"
#include "utils/errors.h"
#include "utils/messages.h"

#include <QFile>

void frmMain::help_contents()
{
    frmHelp *help = nullptr;
    try {
        if (!QFile::exists(frmHelp::contents_url().path().prepend(QLatin1Char(':'))))
            throw QuillonError(QStringLiteral("The help is missing from this build of the program"));
        help = &AppGlobals().help();
    } catch (const std::exception &e) {
        standard_error(error_description(e), 2);
        return;
    }

    try {
        help->show_contents();
        help->show();
        help->raise();
        help->activateWindow();
    } catch (const std::exception &e) {
        msg_box(error_description(e));
    }
}

void frmMain::help_desk()
{
    pass_over([this] { platform::open_url(ui->helpDeskTxt->text()); });
}

void frmMain::getting_help()
{
    AppGlobals().getting_help().exec();
}

void frmMain::about()
{
    AppGlobals().about().exec();
}

void frmMain::open_supplier_site()
{
    platform::open_url(SUPPLIER_SITE);
}
