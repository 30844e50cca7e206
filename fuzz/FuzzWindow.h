#pragma once

#include "app/frmMain.h"
#include "platform/Dialogs.h"

#include <QApplication>

// The main window for the fuzz targets of its file readers: offscreen, every message box
// answered at once (and counted), no file dialog ever chosen.
namespace FuzzWindow {

class SilentDialogs final : public IDialogs
{
public:
    MsgAnswer messageBox(QWidget*, const QString&, const QString&, MsgIcon, MsgButtons buttons,
                         const QString&) override
    {
        ++shown;
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }
    QString fileDialog(QWidget*, const FileDialogRequest&) override { return QString(); }

    int shown = 0;
};

inline SilentDialogs& dialogs()
{
    static SilentDialogs silent;
    return silent;
}

// Creates the application and the window once.
inline frmMain& start(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    setDialogs(&dialogs());
    static frmMain window;
    return window;
}

} // namespace FuzzWindow
