#include "ui/frmGettingHelp.h"

#include "ui_frmGettingHelp.h"

#include "ui/artwork.h"
#include "ui/desktop.h"
#include "ui/frmMain.h"

#include <QMouseEvent>

frmGettingHelp::frmGettingHelp(QWidget *parent) : QDialog(parent), ui(new Ui::frmGettingHelp)
{
    ui->setupUi(this);
    connect(ui->Command1, &QPushButton::clicked, this, &QDialog::accept);
    ui->Image1->setToolTip(SUPPLIER_SITE);
    ui->Image1->installEventFilter(this);
    artwork::fillWithBanner(ui->Image1);
    load();
}

frmGettingHelp::~frmGettingHelp()
{
    delete ui;
}

QLabel *frmGettingHelp::lblMain(int index) const
{
    QLabel *const labels[] = {ui->lblMain_0, ui->lblMain_1, ui->lblMain_2, ui->lblMain_3};
    return labels[index];
}

void frmGettingHelp::load()
{
    setWindowTitle(QStringLiteral("Getting Help From ") + SUPPLIER_NAME);

    lblMain(0)->setText(
        QStringLiteral("This version of Quillon is provided to your site under its support agreement with ") +
        SUPPLIER_NAME +
        QStringLiteral(
            ". It is supported for the ClearCase set-up your administrator has configured; changes "
            "to the configuration files are made by your site, not by the supplier. ") +
        SUPPLIER_NAME +
        QStringLiteral(" also offers training, site configuration and help with view templates and the "
                       "view-creation script.\n\n"));
    lblMain(3)->setText(QStringLiteral("For more information about these services, please contact ") +
                        SUPPLIER_NAME + QStringLiteral(":"));
    lblMain(1)->setText(QStringLiteral("E-mail: ") + SUPPLIER_EMAIL + QStringLiteral("\nTelephone: ") +
                        SUPPLIER_PHONE);
    lblMain(2)->setText(
        QStringLiteral("Please report problems with views, templates or your account to your "
                       "site's help desk first (Help > Help Desk). Problems with Quillon itself "
                       "can be sent to ") +
        SUPPLIER_EMAIL + QStringLiteral("."));
}

bool frmGettingHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Image1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        openUrl(SUPPLIER_SITE);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
