#pragma once

#include "engine/sim/SimCatalog.h"
#include "engine/sim/SimObjects.h"

#include <QHash>
#include <memory>

namespace sim {

// The names an engine has handed out so far, counted per name prefix.
using NameCounters = QHash<QString, int>;

// Works out what AddController reaches: the catalogued controller of a general provider, a
// query server or a BRAKKA station. Blocks for the timeout when the address answers nobody.
// Throws EngineError for every refusal.
std::shared_ptr<const ControllerData> connectController(const Catalog& catalog, NameCounters& counters,
                                                        const QString& controllerName,
                                                        const QString& providerName,
                                                        const QString& machineName, const QString& option);

} // namespace sim
