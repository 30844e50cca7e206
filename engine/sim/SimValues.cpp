#include "engine/sim/SimValues.h"

#include "engine/sim/SimWrites.h"

#include <QDateTime>
#include <QTimer>
#include <algorithm>

namespace sim {

SimValues::SimValues(const std::shared_ptr<SimController>& controller)
    : m_controller(controller), m_data(controller->data()), m_pending(std::make_unique<QObject>())
{
}

SimValues::~SimValues() = default;

int SimValues::indexOf(const QString& name)
{
    if (m_index.isEmpty()) {
        m_index.reserve(m_data->variables.size());
        for (int i = 0; i < m_data->variables.size(); ++i)
            m_index.insert(m_data->variables.at(i), i);
    }
    return m_index.value(name, -1);
}

int SimValues::answerDelay(bool* timedOut) const
{
    *timedOut = m_data->answerMs >= m_data->timeoutMs;
    return std::min(m_data->answerMs, m_data->timeoutMs);
}

VariableValue SimValues::valueOf(const QString& name, const SimController* controller, bool timedOut,
                                 qint64 ms)
{
    VariableValue value;
    value.name = name;
    value.timestamp = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    if (!controller)
        return value;
    if (indexOf(name) < 0) {
        value.status = VariableValue::Status::NotFound;
        return value;
    }
    const Behaviour behaviour = behaviourOf(name);
    value.type = behaviour.type;
    if (timedOut) {
        value.status = VariableValue::Status::Timeout;
    } else if (!behaviour.readable) {
        value.status = VariableValue::Status::NotReadable;
    } else {
        const auto written = controller->memory().constFind(name);
        value.value =
            valueAt(name, behaviour, ms, written == controller->memory().constEnd() ? nullptr : &*written);
        value.status = VariableValue::Status::Good;
    }
    return value;
}

void SimValues::read(const QStringList& names, ReadDone done)
{
    const std::shared_ptr<SimController> controller = m_controller.lock();
    bool timedOut = false;
    const int delayMs = controller ? answerDelay(&timedOut) : 0;
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    QList<VariableValue> values;
    values.reserve(names.size());
    for (const QString& name : names)
        values.append(valueOf(name, controller.get(), timedOut, ms));
    later(delayMs, [done = std::move(done), values = std::move(values)] { done(values); });
}

void SimValues::describe(const QStringList& names, DescribeDone done)
{
    QList<VariableDescription> descriptions;
    descriptions.reserve(names.size());
    for (const QString& name : names) {
        VariableDescription description;
        description.name = name;
        const int index = indexOf(name);
        description.known = index >= 0;
        if (description.known) {
            const Behaviour behaviour = behaviourOf(name);
            description.type = behaviour.type;
            description.readable = behaviour.readable;
            description.writable = behaviour.writable;
            description.address = QStringLiteral("sim:%1/%2").arg(m_data->name).arg(index + 1);
        } else {
            description.readable = false;
        }
        descriptions.append(description);
    }
    later(0, [done = std::move(done), descriptions = std::move(descriptions)] { done(descriptions); });
}

void SimValues::write(const QString& name, const QVariant& value, WriteDone done)
{
    const std::shared_ptr<SimController> controller = m_controller.lock();
    WriteOutcome outcome;
    int delayMs = 0;
    QVariant accepted;
    if (!controller) {
        outcome.reason = QStringLiteral("%1 is no longer connected.").arg(m_data->name);
    } else if (indexOf(name) < 0) {
        outcome.reason = QStringLiteral("%1 has no variable \"%2\".").arg(m_data->name, name);
    } else if (accepted = acceptedValue(name, behaviourOf(name), value, &outcome.reason);
               accepted.isValid()) {
        bool timedOut = false;
        delayMs = answerDelay(&timedOut);
        if (timedOut) {
            outcome.reason =
                QStringLiteral("No answer from %1 within %2 ms.").arg(m_data->name).arg(m_data->timeoutMs);
        } else {
            controller->memory().insert(name, {accepted, QDateTime::currentMSecsSinceEpoch()});
            outcome.written = true;
        }
    }
    later(delayMs, [done = std::move(done), outcome = std::move(outcome)] { done(outcome); });
}

void SimValues::later(int delayMs, std::function<void()> answer)
{
    QTimer::singleShot(delayMs, Qt::PreciseTimer, m_pending.get(), std::move(answer));
}

} // namespace sim
