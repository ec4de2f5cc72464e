#include "ui/frmAbout.h"

#include "ui_frmAbout.h"

#include "ui/appglobals.h"
#include "ui/artwork.h"
#include "ui/frmGettingHelp.h"
#include "ui/frmMain.h"
#include "ui/messages.h"

frmAbout::frmAbout(QWidget *parent) : QDialog(parent), ui(new Ui::frmAbout)
{
    ui->setupUi(this);
    artwork::showLogo(ui->Image1);
    connect(ui->okBut, &QPushButton::clicked, this, &QDialog::accept);
    load();
}

frmAbout::~frmAbout()
{
    delete ui;
}

QLabel *frmAbout::mainLbl(int index) const
{
    QLabel *const labels[] = {ui->mainLbl_0, ui->mainLbl_1, ui->mainLbl_2};
    return labels[index];
}

void frmAbout::load()
{
    setWindowTitle(QStringLiteral("About ") + APP_TITLE);
    mainLbl(0)->setText(APP_TITLE);
    mainLbl(1)->setText(QStringLiteral("Version ") + QString::number(versionMajor()) + QLatin1Char('.') +
                        QString::number(versionMinor()) + QLatin1Char('.') +
                        QString::number(versionRevision()));
    mainLbl(2)->setText(QStringLiteral("Copyright (C) ") + SUPPLIER_NAME +
                        QStringLiteral(". All rights reserved."));
    ui->authorLbl->setText(QStringLiteral("Written by the ") + SUPPLIER_NAME + QStringLiteral(" tools team"));
    ui->Label1->setText(SUPPLIER_NAME);
    ui->txtInfo->setPlainText(
        QStringLiteral(
            "Quillon creates, inspects and removes ClearCase views from view templates kept by your "
            "site, without typing ClearCase commands.\n\n"
            "It keeps no files or settings of its own: everything it knows comes from the site's "
            "configuration file and from ClearCase.\n\n"
            "Please report problems to your site's help desk, or to ") +
        SUPPLIER_EMAIL + QStringLiteral("."));
}
