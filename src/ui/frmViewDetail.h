#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

namespace Ui {
class frmViewDetail;
}

// What ClearCase knows about one existing view: a summary, its age, its
// config spec (box 0) with "Edit Config Spec…", and its long listing (box
// 1). Modeless; "Close" (or Escape) only hides it, so its controls keep
// their content. The main window fills it and does the editing.
class frmViewDetail : public QWidget {
    Q_OBJECT

public:
    explicit frmViewDetail(QWidget *parent = nullptr);
    ~frmViewDetail() override;

    // The summary label.
    QLabel *mainLabel() const;
    // Created, last modified, last accessed.
    QLabel *ageLbl() const;
    // The two text boxes: 0 the config spec, 1 the view's long listing.
    QPlainTextEdit *detailTxt(int index) const;

    // The view shown, and whether the user may edit its config spec (why
    // not, when not).
    void setView(const QString &tag, bool editable, const QString &whyNot);
    const QString &viewTag() const { return m_tag; }

signals:
    // "Edit Config Spec…" was clicked for the view shown.
    void editConfigSpecRequested(const QString &tag);

private:
    Ui::frmViewDetail *ui;
    QString m_tag;
};
