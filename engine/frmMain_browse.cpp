#include "app/frmMain.h"

void frmMain::FillControllerNames() {}
void frmMain::FillVariableNames() {}
void frmMain::cmbCtrls_Click() {}
void frmMain::cmbCtrl_Click() {}
