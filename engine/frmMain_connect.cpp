#include "app/frmMain.h"

void frmMain::chkConnQUOR_Click() {}
void frmMain::chkConnTULO_Click() {}
void frmMain::chkConnBRAKKA_Click() {}
void frmMain::optProvider_Click(int) {}
void frmMain::optLyra_Click(int) {}
void frmMain::EnableItemButtons(bool) {}
void frmMain::EnableProviderFields(bool) {}
void frmMain::EnableConnField(bool) {}
void frmMain::EnableServerFields(bool) {}
void frmMain::ClearBrowseLists() {}
