#pragma once

#include "engine/modbus/ModbusSettings.h"
#include "engine/modbus/ReadPlan.h"

#include <QDeadlineTimer>
#include <QtGlobal>
#include <memory>

class QModbusTcpClient;

// The TCP connection to one Modbus device, used synchronously as the engine interface
// requires: each call waits in a local event loop of its own until the device has answered
// or the deadline has passed. User input waits meanwhile, so the window cannot start another
// engine call while one runs. Every failure throws EngineError with a text that names the
// device and the reason.
namespace modbus {

class ModbusLink final
{
public:
    explicit ModbusLink(ModbusSettings settings);
    ~ModbusLink();
    Q_DISABLE_COPY_MOVE(ModbusLink)

    // Connects unless the connection stands.
    void open(QDeadlineTimer deadline);

    // What the device said to a read.
    enum class Answer
    {
        // It sent the values.
        Values,
        // It rejected the addresses (or the table) as not its own.
        Rejected
    };
    // Reads the block once; connects first when needed.
    Answer read(const ReadBlock& block, QDeadlineTimer deadline);

    const ModbusSettings& settings() const { return m_settings; }

private:
    [[noreturn]] void connectionFailed();

    ModbusSettings m_settings;
    std::unique_ptr<QModbusTcpClient> m_client;
};

} // namespace modbus
