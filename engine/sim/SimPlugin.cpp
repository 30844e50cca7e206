#include "engine/sim/SimPlugin.h"

#include "engine/EngineError.h"
#include "engine/sim/SimEngine.h"

std::shared_ptr<IEngine> SimPlugin::createEngine()
{
    try {
        auto catalog = std::make_shared<const sim::Catalog>(sim::loadCatalog());
        setProperty("errorString", QString());
        return std::make_shared<sim::SimEngine>(std::move(catalog));
    } catch (const EngineError& e) {
        setProperty("errorString", e.message());
        return nullptr;
    }
}
