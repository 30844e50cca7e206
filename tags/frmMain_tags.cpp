#include "app/frmMain.h"

void frmMain::InitItemGrid() {}
void frmMain::cmdAddItem_Click() {}
void frmMain::cmdDelete_Click() {}
void frmMain::grdItems_EnterCell(qint32, qint32) {}
void frmMain::grdItems_AfterEdit() {}
bool frmMain::CheckTagNameDuplicate(qint32, qint32)
{
    return true;
}
bool frmMain::CheckTagNameChar(const QString&, const QString&)
{
    return true;
}
