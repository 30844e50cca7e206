#include "tests/support/FakeValues.h"

#include <QDateTime>

FakeValues::FakeValues() = default;
FakeValues::~FakeValues() = default;

EngineValues::Source FakeValues::sourceOf(const std::shared_ptr<FakeValues>& values)
{
    return [values](const std::shared_ptr<IController>&) -> std::shared_ptr<IControllerValues> {
        return values;
    };
}

void FakeValues::set(const QString& name, const QVariant& value, const QString& type, bool writable)
{
    Variable& variable = variables[name];
    variable.value = value;
    variable.type = type;
    variable.status = VariableValue::Status::Good;
    variable.writable = writable;
}

void FakeValues::release()
{
    hold = false;
    while (!m_held.isEmpty())
        QMetaObject::invokeMethod(&m_context, m_held.dequeue(), Qt::QueuedConnection);
}

void FakeValues::read(const QStringList& names, ReadDone done)
{
    reads.append(names);
    answer([this, names, done] {
        QList<VariableValue> values;
        values.reserve(names.size());
        for (const QString& name : names)
            values.append(valueOf(name));
        done(values);
    });
}

void FakeValues::describe(const QStringList& names, DescribeDone done)
{
    describes.append(names);
    answer([this, names, done] {
        QList<VariableDescription> descriptions;
        for (const QString& name : names) {
            VariableDescription description;
            description.name = name;
            const auto it = variables.constFind(name);
            description.known = it != variables.cend();
            if (description.known) {
                description.type = it->type;
                description.readable = it->status != VariableValue::Status::NotReadable;
                description.writable = it->writable;
                description.address = it->address;
            }
            descriptions.append(description);
        }
        done(descriptions);
    });
}

void FakeValues::write(const QString& name, const QVariant& value, WriteDone done)
{
    writes.append(name + QLatin1Char('=') + value.toString());
    answer([this, name, value, done] {
        const auto it = variables.find(name);
        if (it == variables.end())
            return done(WriteOutcome{false, QStringLiteral("not found")});
        if (!it->writable)
            return done(WriteOutcome{false, QStringLiteral("read-only")});
        it->value = value;
        done(WriteOutcome{true, QString()});
    });
}

VariableValue FakeValues::valueOf(const QString& name) const
{
    VariableValue value;
    value.name = name;
    value.timestamp = QDateTime::currentDateTimeUtc();
    const auto it = variables.constFind(name);
    if (it == variables.cend()) {
        value.status = VariableValue::Status::NotFound;
        return value;
    }
    value.status = it->status;
    value.type = it->type;
    value.exceptionCode = it->exceptionCode;
    value.exceptionName = it->exceptionName;
    if (it->status == VariableValue::Status::Good)
        value.value = it->value;
    return value;
}

void FakeValues::answer(std::function<void()> answer)
{
    if (hold)
        m_held.enqueue(std::move(answer));
    else
        QMetaObject::invokeMethod(&m_context, std::move(answer), Qt::QueuedConnection);
}
