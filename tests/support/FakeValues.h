#pragma once

#include "engine/EngineValues.h"
#include "engine/ValueCapability.h"

#include <QHash>
#include <QObject>
#include <QQueue>
#include <functional>
#include <memory>

// The tests' live values of a controller: each variable's value, type, status and access are
// scripted; every read, describe and write is recorded. Answers come at the next turn of the
// event loop, as an engine's do, or wait while `hold` is set until release(). An answer is made
// when it is given, so a test may change the script while answers wait. A variable that is
// not scripted is "not found".
class FakeValues final : public IControllerValues
{
public:
    struct Variable
    {
        QVariant value;
        QString type;
        VariableValue::Status status = VariableValue::Status::Good;
        bool writable = false;
        QString address;
        int exceptionCode = 0;
        QString exceptionName;
    };

    FakeValues();
    ~FakeValues() override;
    FakeValues(const FakeValues&) = delete;
    FakeValues& operator=(const FakeValues&) = delete;

    static std::shared_ptr<FakeValues> create() { return std::make_shared<FakeValues>(); }
    // A source for EngineValues that offers `values` for every controller.
    static EngineValues::Source sourceOf(const std::shared_ptr<FakeValues>& values);

    // Scripts a readable variable; writable ones take written values.
    void set(const QString& name, const QVariant& value, const QString& type, bool writable = false);
    Variable& operator[](const QString& name) { return variables[name]; }

    // Gives the answers held so far (at the next turn of the event loop) and stops holding.
    void release();
    qsizetype heldCount() const { return m_held.size(); }

    QHash<QString, Variable> variables;
    // Answers wait until release().
    bool hold = false;
    // Every read's names, in order.
    QList<QStringList> reads;
    QList<QStringList> describes;
    // Every write as "name=value".
    QStringList writes;

    // IControllerValues
    void read(const QStringList& names, ReadDone done) override;
    void describe(const QStringList& names, DescribeDone done) override;
    void write(const QString& name, const QVariant& value, WriteDone done) override;

private:
    VariableValue valueOf(const QString& name) const;
    void answer(std::function<void()> answer);

    // Owns the queued answers: they are dropped with it.
    QObject m_context;
    QQueue<std::function<void()>> m_held;
};
