#include "engine/sim/SimPlugin.h"

#include "engine/EngineError.h"
#include "engine/sim/SimEngine.h"
#include "engine/sim/SimValues.h"

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

std::shared_ptr<IControllerValues> SimPlugin::values(const std::shared_ptr<IController>& controller)
{
    const auto simulated = std::dynamic_pointer_cast<sim::SimController>(controller);
    return simulated ? std::make_shared<sim::SimValues>(simulated) : nullptr;
}
