// Procedures whose work is not built yet: each does nothing for now.
#include "forms/frmMain.h"

void frmMain::create_view() {}
void frmMain::removeViewBut_Click() {}
void frmMain::remove_view(QString &) {}
void frmMain::StartView_Click() {}
void frmMain::RemoveView_Click() {}
void frmMain::FindCO_Click() {}
void frmMain::show_view_detail() {}
