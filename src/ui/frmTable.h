#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QTreeWidget;

namespace Ui {
class frmTable;
}

// A window that shows rows of text in columns under a caption, with "Copy"
// (the selected rows, or all, as tab-separated lines with the column names
// first) and "Close" (also Escape). The program has two: the checkouts of a
// view (frmCheckouts) and the command log (frmCommandLog); their owners fill
// them.
class frmTable : public QDialog {
    Q_OBJECT

public:
    explicit frmTable(QWidget *parent = nullptr);
    ~frmTable() override;

    void setCaption(const QString &caption);
    void setColumns(const QStringList &names);
    void setRows(const QList<QStringList> &rows);
    void appendRow(const QStringList &row);
    // Keeps at most this many rows, dropping the oldest.
    void keepLast(int rows);
    QTreeWidget *rowsList() const;
    // The text Copy puts on the clipboard.
    QString copiedText() const;

private:
    Ui::frmTable *ui;
};
