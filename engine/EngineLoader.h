#pragma once

#include "engine/EngineApi.h"
#include "engine/EngineValues.h"

#include <QString>
#include <QStringList>
#include <memory>

// Creates the controller-access engine from every engine plug-in found:
// - when the environment variable QUOR_ENGINE is set, at its paths (separated by ':'), each a
//   plug-in file or a folder whose plug-ins are all taken;
// - otherwise in the first of EnginePluginFolders() that holds any plug-in file: a build runs
//   the plug-ins built beside it, an installed copy those installed with it, never a mix of two
//   builds.
// One plug-in gives its own engine; several give one engine whose workspace 0 offers the
// providers of them all (see EngineSet). A plug-in that cannot be loaded or yields no engine
// with a workspace 0 is left out. Returns no object when no plug-in could be used; errorText
// then receives the reasons. With an engine, errorText receives the reasons of the plug-ins
// left out, one a line ("" when there are none). The plug-ins stay loaded for the rest of the
// run, since the engine's objects run their code.
// When values is given, the value capability of every plug-in used that offers one is added to it.
std::shared_ptr<IEngine> CreateEngine(QString* errorText = nullptr, EngineValues* values = nullptr);

// The folders searched when QUOR_ENGINE is not set, in order: "engines" beside the
// executable, then the installed plug-in folder as seen from the executable's folder.
QStringList EnginePluginFolders();
