#pragma once

#include "engine/EngineApi.h"

#include <QString>
#include <memory>

// Creates the controller-access engine from its plug-in: the file named in the environment
// variable QUOR_ENGINE when that is set, otherwise the first engine plug-in in the folder
// "engines" beside the executable. Returns no object when there is no such plug-in or it
// yields no engine; errorText then receives the reason. The plug-in stays loaded for the
// rest of the run, since the engine's objects run its code.
std::shared_ptr<IEngine> CreateEngine(QString* errorText = nullptr);
