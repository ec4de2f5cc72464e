#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

namespace Ui {
class frmViewDetail;
}

// What ClearCase knows about one existing view: a summary, its config spec
// (box 0) and its long listing (box 1). Modeless; "Close" only hides it, so
// its controls keep their content. The main window fills it.
class frmViewDetail : public QWidget {
    Q_OBJECT

public:
    explicit frmViewDetail(QWidget *parent = nullptr);
    ~frmViewDetail() override;

    // The summary label.
    QLabel *mainLabel() const;
    // The two text boxes: 0 the config spec, 1 the view's long listing.
    QPlainTextEdit *detailTxt(int index) const;

private:
    Ui::frmViewDetail *ui;
};
