#pragma once

#include "engine/ValueCapability.h"

#include <QList>
#include <functional>
#include <memory>

// Where the program finds the live values of a controller: the value capability of every
// engine plug-in that offers one. Empty when no plug-in does.
class EngineValues final
{
public:
    // The values of a controller, or no object when the source does not know it.
    using Source = std::function<std::shared_ptr<IControllerValues>(const std::shared_ptr<IController>&)>;

    void add(Source source);
    bool isEmpty() const { return m_sources.isEmpty(); }

    // The values of the controller from the first source that knows it; no object when none
    // does (or when a source fails).
    std::shared_ptr<IControllerValues> of(const std::shared_ptr<IController>& controller) const;

private:
    QList<Source> m_sources;
};
