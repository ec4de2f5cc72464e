// Procedures whose work is not built yet: each does nothing for now.
#include "forms/frmMain.h"

void frmMain::get_myviews(const QString &) {}
bool frmMain::view_tag_exists(const QString &) { return false; }
bool frmMain::view_active(const QString &) { return false; }
bool frmMain::is_view_snapshot(const QString &) { return false; }
void frmMain::refreshBut_Click() {}
void frmMain::refreshViewBut_Click() {}
void frmMain::get_view_templates(const QString &) {}
QString frmMain::get_view_description(const QString &, bool &) { return {}; }
void frmMain::projectCombo_Click() {}
QString frmMain::read_template_text(const QString &) { return {}; }
void frmMain::edit_view_template() {}
QString frmMain::gcsv(const QString &) { return {}; }
void frmMain::viewsList_Click() {}
void frmMain::viewBut_Click() {}
void frmMain::viewsList_DblClick() {}
void frmMain::create_view() {}
void frmMain::removeViewBut_Click() {}
void frmMain::remove_view(QString &) {}
void frmMain::StartView_Click() {}
void frmMain::RemoveView_Click() {}
void frmMain::FindCO_Click() {}
void frmMain::show_view_detail() {}
