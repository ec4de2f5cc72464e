#pragma once

#include <QDialog>
#include <QLabel>

namespace Ui {
class frmAbout;
}

// The About box: the program's title, version and notice, the supplier and
// a short text. Shown modally over the main window; "OK" hides it.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);
    ~frmAbout() override;

    // The three title labels, index 0 to 2.
    QLabel *mainLbl(int index) const;

private:
    Ui::frmAbout *ui;
    void load();
};
