#include "app/frmMain.h"

void frmMain::LoadAppSettings() {}
void frmMain::FillRecentLists() {}
void frmMain::SaveAppSettings() {}
void frmMain::cmbServer_Click() {}
