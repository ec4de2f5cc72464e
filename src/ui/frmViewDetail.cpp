#include "ui/frmViewDetail.h"

#include "ui_frmViewDetail.h"

#include <QFontDatabase>
#include <QShortcut>

frmViewDetail::frmViewDetail(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::frmViewDetail)
{
    ui->setupUi(this);
    // Config specs and listings line up in columns.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    ui->detailTxt_0->setFont(fixed);
    ui->detailTxt_1->setFont(fixed);
    connect(ui->closeBut, &QPushButton::clicked, this, &QWidget::hide);
    // Escape closes it, as it closes a dialog.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::hide);
}

frmViewDetail::~frmViewDetail()
{
    delete ui;
}

QLabel *frmViewDetail::mainLabel() const
{
    return ui->mainLabel;
}

QPlainTextEdit *frmViewDetail::detailTxt(int index) const
{
    return index == 0 ? ui->detailTxt_0 : ui->detailTxt_1;
}
