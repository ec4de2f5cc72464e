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
    connect(ui->editCsBut, &QPushButton::clicked, this, [this] {
        if (!m_tag.isEmpty())
            emit editConfigSpecRequested(m_tag);
    });
}

frmViewDetail::~frmViewDetail()
{
    delete ui;
}

QLabel *frmViewDetail::mainLabel() const
{
    return ui->mainLabel;
}

QLabel *frmViewDetail::ageLbl() const
{
    return ui->ageLbl;
}

void frmViewDetail::setView(const QString &tag, bool editable, const QString &whyNot)
{
    m_tag = tag;
    ui->editCsBut->setEnabled(editable);
    const QString tip =
        editable ? QStringLiteral("Edit this view's config spec in your editor, then set it") : whyNot;
    ui->editCsBut->setToolTip(tip);
    ui->editCsBut->setAccessibleDescription(tip);
}

QPlainTextEdit *frmViewDetail::detailTxt(int index) const
{
    return index == 0 ? ui->detailTxt_0 : ui->detailTxt_1;
}
