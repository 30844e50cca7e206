#include "app/frmMain.h"

bool frmMain::WriteTagFile(const QString&)
{
    return false;
}
bool frmMain::ReadTagFile(const QString&)
{
    return false;
}
bool frmMain::ClearTagSetting()
{
    return false;
}
bool frmMain::FileSave(bool)
{
    return false;
}
void frmMain::FileOpen() {}
