#pragma once

#include "engine/EngineApi.h"
#include "engine/EngineValues.h"
#include "storage/RememberedSettings.h"

#include <QString>
#include <memory>

// What the program holds for one run: the engine and its workspace, the run mode, how the
// load went, the file named on the command line, and what is remembered between runs. Main
// creates it and hands it to the window; it outlives the window.
struct AppState
{
    // The controller-access engine.
    std::shared_ptr<IEngine> objEngine;
    // Workspace 0 of the engine; every connection is added to it.
    std::shared_ptr<IWorkspace> objWorkspace;
    // The live values of the engine's controllers, where its plug-ins offer them.
    EngineValues objValues;
    // True in the BRAKKA run mode.
    bool bBRAKKAMode = false;
    // Set by the window's load handler when loading failed.
    bool bLoadFailed = false;
    // The tag setting file named on the command line, opened at load in place of the
    // remembered one; "" when none was named.
    QString strStartFile;
    RememberedSettings settings;

    // Releases the workspace and then the engine.
    void ReleaseEngine()
    {
        objWorkspace.reset();
        objEngine.reset();
    }
};
