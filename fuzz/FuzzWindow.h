#pragma once

#include "app/frmMain.h"
#include "tags/TagDocument.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>

// The main window for the fuzz targets of its file readers: offscreen, every message box
// answered at once as the tests' dialogs answer it, no file dialog ever chosen.
namespace FuzzWindow {

// What was shown since the run began; cleared at each run.
inline ScriptedDialogs& dialogs()
{
    static ScriptedDialogs scripted;
    return scripted;
}

// The run's state the window is made over.
inline AppState& state()
{
    static AppState runState;
    return runState;
}

// Creates the application and the window once.
inline frmMain& start(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    dialogs();
    static frmMain window(state());
    return window;
}

} // namespace FuzzWindow
