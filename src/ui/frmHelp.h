#pragma once

#include <QUrl>
#include <QWidget>

namespace Ui {
class frmHelp;
}

// The user help built into the program, in a modeless window with Back,
// Forward, Contents and Close. Links to other sites open in the desktop's
// browser.
class frmHelp : public QWidget {
    Q_OBJECT

public:
    explicit frmHelp(QWidget *parent = nullptr);
    ~frmHelp() override;

    // Where the help's table of contents is.
    static QUrl contentsUrl();

    // Shows the table of contents.
    void showContents();

private:
    Ui::frmHelp *ui;
    void followLink(const QUrl &url);
};
