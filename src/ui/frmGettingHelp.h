#pragma once

#include <QDialog>
#include <QLabel>

namespace Ui {
class frmGettingHelp;
}

// How to get help from the supplier: a notice about the terms and services,
// the supplier's addresses and where to report problems. Shown modally over
// the main window; "OK" hides it.
class frmGettingHelp : public QDialog {
    Q_OBJECT

public:
    explicit frmGettingHelp(QWidget *parent = nullptr);
    ~frmGettingHelp() override;

    // The four text labels, index 0 to 3.
    QLabel *lblMain(int index) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::frmGettingHelp *ui;
    void load();
};

// The supplier's addresses, shown in the help windows.
inline const QString SUPPLIER_EMAIL = QStringLiteral("support@quillon-works.example");
inline const QString SUPPLIER_PHONE = QStringLiteral("+1 555 0100");
