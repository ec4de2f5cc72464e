#include "ui/frmTable.h"

#include "ui_frmTable.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>

namespace {
QTreeWidgetItem *item(const QStringList &row)
{
    auto *it = new QTreeWidgetItem(row);
    for (int c = 0; c < row.size(); ++c)
        it->setToolTip(c, row.at(c));
    return it;
}
} // namespace

frmTable::frmTable(QWidget *parent) : QDialog(parent), ui(new Ui::frmTable)
{
    ui->setupUi(this);
    connect(ui->closeBut, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->copyBut, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(copiedText()); });
    ui->rowsList->header()->setStretchLastSection(true);
}

frmTable::~frmTable()
{
    delete ui;
}

void frmTable::setCaption(const QString &caption)
{
    ui->captionLbl->setText(caption);
}

void frmTable::setColumns(const QStringList &names)
{
    ui->rowsList->setColumnCount(int(names.size()));
    ui->rowsList->setHeaderLabels(names);
}

void frmTable::setRows(const QList<QStringList> &rows)
{
    ui->rowsList->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const QStringList &row : rows)
        items.append(item(row));
    ui->rowsList->addTopLevelItems(items);
    // Each column as wide as its text, but none so wide that the next ones
    // go out of sight; the whole text is in the row's tool tip.
    const int widest = qMax(160, width() / 2);
    for (int c = 0; c + 1 < ui->rowsList->columnCount(); ++c) {
        ui->rowsList->resizeColumnToContents(c);
        ui->rowsList->setColumnWidth(c, qMin(ui->rowsList->columnWidth(c), widest));
    }
}

void frmTable::appendRow(const QStringList &row)
{
    ui->rowsList->addTopLevelItem(item(row));
}

void frmTable::keepLast(int rows)
{
    while (ui->rowsList->topLevelItemCount() > rows)
        delete ui->rowsList->takeTopLevelItem(0);
}

QTreeWidget *frmTable::rowsList() const
{
    return ui->rowsList;
}

QString frmTable::copiedText() const
{
    const QTreeWidget *list = ui->rowsList;
    const auto line = [list](const QTreeWidgetItem *item) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << item->text(c);
        return cells.join(QLatin1Char('\t'));
    };
    QStringList lines{line(list->headerItem())};
    const bool selectedOnly = !list->selectedItems().isEmpty();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        if (!selectedOnly || item->isSelected())
            lines << line(item);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
