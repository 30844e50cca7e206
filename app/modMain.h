#pragma once

#include "engine/EngineApi.h"
#include "storage/RecentConnections.h"

#include <QString>
#include <functional>
#include <memory>

// The start-up module: the run's globals, start-up and the release of the engine.

// The controller-access engine, created once by Main.
extern std::shared_ptr<IEngine> g_objEngine;
// Workspace 0 of the engine; every connection is added to it.
extern std::shared_ptr<IWorkspace> g_objWorkspace;
// True in the BRAKKA run mode.
extern bool g_bBRAKKAMode;
// Set by the window's load handler when loading failed.
extern bool g_bLoadFailed;
// Full path of the current tag setting file; "" when there is none.
extern QString g_strFilePath;
// The folder of the file last chosen in a file dialog; "" when none was.
extern QString g_strLastFolder;
// The tag setting file named on the command line, opened at load in place of the
// remembered one; "" when none was named.
extern QString g_strStartFile;

// The entry point: chooses the run mode, creates the engine and its workspace 0, then
// shows the main window. Returns as soon as the window is shown.
void Main();
// Releases the workspace and then the engine.
void ReleaseEngine();
// Whether the main window is open (false after a failed start or once it closed).
bool isMainWindowOpen();

// How Main creates the engine; tests put their own engine here (nullptr restores the plug-in).
using EngineFactory = std::function<std::shared_ptr<IEngine>()>;
void setEngineFactory(EngineFactory factory);
