#include "ui/frmProgress.h"

#include "ui_frmProgress.h"

#include "ui/artwork.h"

frmProgress::frmProgress(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::frmProgress)
{
    ui->setupUi(this);
    artwork::showLogo(ui->Image1);
    ui->progressBar->setMinimum(0);
    ui->progressBar->setMaximum(100);
    // A child by name like the other controls; as a member it leaves the
    // children before the window deletes them.
    progressTimer.setObjectName(QStringLiteral("progressTimer"));
    progressTimer.setParent(this);
    connect(&progressTimer, &QTimer::timeout, this, &frmProgress::tick);
}

frmProgress::~frmProgress()
{
    delete ui;
}

void frmProgress::start_progress(const QString &msg)
{
    setCursor(Qt::WaitCursor);
    if (!msg.isEmpty())
        ui->progressLbl->setText(msg);
    show();
    progressTimer.start(10);
}

void frmProgress::set_msg(const QString &msg)
{
    ui->progressLbl->setText(msg);
}

void frmProgress::stop_progress()
{
    hide();
    progressTimer.stop();
    ui->progressBar->setValue(0);
    unsetCursor();
}

void frmProgress::tick()
{
    m_counter = static_cast<qint16>((m_counter + 1) % 100);
    ui->progressBar->setValue(m_counter);
}
