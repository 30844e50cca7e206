#include "engine/EngineValues.h"

void EngineValues::add(Source source)
{
    m_sources.append(std::move(source));
}

std::shared_ptr<IControllerValues> EngineValues::of(const std::shared_ptr<IController>& controller) const
{
    if (!controller)
        return nullptr;
    for (const Source& source : m_sources) {
        try {
            if (std::shared_ptr<IControllerValues> values = source(controller))
                return values;
        } catch (...) {
            // A plug-in that fails to answer offers no values for this controller.
        }
    }
    return nullptr;
}
