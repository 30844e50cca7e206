#pragma once

#include "app/AppState.h"

#include <functional>
#include <memory>

// The start-up module: start-up, the run mode and the release of the engine.

// The entry point: chooses the run mode, creates the engine and its workspace 0 in `state`,
// then shows the main window over `state`, which must outlive it. Returns as soon as the
// window is shown.
void Main(AppState& state);
// Whether the main window is open (false after a failed start or once it closed).
bool isMainWindowOpen();

// How Main creates the engine; tests put their own engine here (nullptr restores the plug-in).
using EngineFactory = std::function<std::shared_ptr<IEngine>()>;
void setEngineFactory(EngineFactory factory);
