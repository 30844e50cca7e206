#pragma once

#include "engine/ValueCapability.h"
#include "engine/sim/SimObjects.h"

#include <QHash>
#include <QObject>
#include <memory>

namespace sim {

// The live values of a controller of the simulation engine (how each variable behaves: see
// SimBehaviour.h). It holds the controller weakly: once the program releases it, reads answer
// "not connected" and writes fail.
//
// A read computes every value at the moment of the call, which is its time stamp, and answers
// after the device's "answerMs" (see SimCatalog.h); when that is not shorter than the
// connection's timeout, the device never answers and every value reads "timeout" once the
// timeout has passed. A write takes effect at once and answers like a read; refusals the
// engine knows of itself (unknown name, read-only, wrong value) answer at once. Names are
// matched exactly. describe answers at once from the catalog, also after the release; the
// address of a variable is "sim:<controller>/<n>", n its place in the variable list from 1.
//
// Answers run through the event loop of the thread that made this object, never inside the
// call; those still pending when this object is destroyed are dropped with it.
class SimValues final : public IControllerValues
{
public:
    explicit SimValues(const std::shared_ptr<SimController>& controller);
    ~SimValues() override;

    void read(const QStringList& names, ReadDone done) override;
    void describe(const QStringList& names, DescribeDone done) override;
    void write(const QString& name, const QVariant& value, WriteDone done) override;

private:
    // The place of the variable in the controller's list, from 0; -1 when it has none.
    int indexOf(const QString& name);
    // The delay of the device's answer; timedOut when it never comes.
    int answerDelay(bool* timedOut) const;
    VariableValue valueOf(const QString& name, const SimController* controller, bool timedOut, qint64 ms);
    void later(int delayMs, std::function<void()> answer);

    std::weak_ptr<SimController> m_controller;
    std::shared_ptr<const ControllerData> m_data;
    QHash<QString, int> m_index;
    // The context of the pending answers, destroyed with this object.
    std::unique_ptr<QObject> m_pending;
};

} // namespace sim
