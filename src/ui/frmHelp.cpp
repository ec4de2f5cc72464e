#include "ui/frmHelp.h"

#include "ui_frmHelp.h"

#include "ui/desktop.h"

#include <QKeySequence>
#include <QShortcut>

frmHelp::frmHelp(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::frmHelp)
{
    ui->setupUi(this);
    QTextBrowser *browser = ui->helpBrowser;

    connect(ui->backBut, &QPushButton::clicked, browser, &QTextBrowser::backward);
    connect(ui->forwardBut, &QPushButton::clicked, browser, &QTextBrowser::forward);
    connect(ui->contentsBut, &QPushButton::clicked, this, &frmHelp::showContents);
    connect(ui->closeBut, &QPushButton::clicked, this, &QWidget::close);
    connect(browser, &QTextBrowser::backwardAvailable, ui->backBut, &QWidget::setEnabled);
    connect(browser, &QTextBrowser::forwardAvailable, ui->forwardBut, &QWidget::setEnabled);
    connect(browser, &QTextBrowser::anchorClicked, this, &frmHelp::followLink);
    connect(browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = ui->helpBrowser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Quillon Help") : title);
    });

    new QShortcut(QKeySequence::Back, this, browser, &QTextBrowser::backward);
    new QShortcut(QKeySequence::Forward, this, browser, &QTextBrowser::forward);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);

    showContents();
}

frmHelp::~frmHelp()
{
    delete ui;
}

QUrl frmHelp::contentsUrl()
{
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

void frmHelp::showContents()
{
    ui->helpBrowser->setSource(contentsUrl());
}

void frmHelp::followLink(const QUrl &url)
{
    // Pages and anchors of the help stay here; anything else (web pages,
    // mail addresses) goes to the desktop.
    if (url.scheme() == QLatin1String("qrc") || url.isRelative())
        ui->helpBrowser->setSource(url);
    else
        openUrl(url.toString());
}
