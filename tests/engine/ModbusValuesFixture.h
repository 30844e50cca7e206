#pragma once

#include "tests/engine/ModbusTestSupport.h"
#include "tests/engine/PluginValuesFixture.h"

#include <QFile>
#include <QTest>
#include <optional>

// The live values of the Modbus plug-in against a real device on 127.0.0.1: the engine loaded
// with its value capability, a controller connected to a local device, and calls that wait for
// their answers while the event loop turns.
class ModbusValuesFixture : public PluginValuesFixture
{
protected:
    void SetUp() override { loadPlugin(modbusPluginPath()); }

    QString writeMap(const QByteArray& text)
    {
        const QString path = m_dir.filePath(QStringLiteral("map.csv"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        return path;
    }

    // Connects to the machine with the map and takes the controller's values.
    void connectTo(const QString& machine, const QString& mapPath, int timeoutMs = 2000)
    {
        controller =
            workspace->AddController(QStringLiteral("Press1"), QStringLiteral("QuorProv.ModbusTCP"), machine,
                                     QStringLiteral("Timeout=%1,Map=%2").arg(timeoutMs).arg(mapPath));
        ASSERT_NE(controller, nullptr);
        values = sources.of(controller);
        ASSERT_NE(values, nullptr);
    }

    // Starts a call and waits for its one answer, which must not come inside the call.
    template <typename Answer>
    static Answer await(const std::function<void(std::function<void(Answer)>)>& call)
    {
        struct State
        {
            bool returned = false;
            bool early = false;
            std::optional<Answer> answer;
        };
        auto state = std::make_shared<State>();
        call([state](Answer answer) {
            state->early = !state->returned;
            state->answer = std::move(answer);
        });
        state->returned = true;
        EXPECT_TRUE(QTest::qWaitFor([&state] { return state->answer.has_value(); }, 15000)) << "no answer";
        EXPECT_FALSE(state->early) << "answered inside the call";
        return state->answer.value_or(Answer());
    }

    QList<VariableValue> read(const QStringList& names)
    {
        return await<QList<VariableValue>>(
            [this, &names](std::function<void(QList<VariableValue>)> done) { values->read(names, done); });
    }

    VariableValue readOne(const QString& name) { return read({name}).value(0); }

    WriteOutcome write(const QString& name, const QVariant& value)
    {
        return await<WriteOutcome>([this, &name, &value](std::function<void(WriteOutcome)> done) {
            values->write(name, value, done);
        });
    }

    QList<VariableDescription> describe(const QStringList& names)
    {
        return await<QList<VariableDescription>>(
            [this, &names](std::function<void(QList<VariableDescription>)> done) {
                values->describe(names, done);
            });
    }

private:
    QTemporaryDir m_dir;
};
