#pragma once

#include "engine/modbus/ModbusSettings.h"
#include "engine/modbus/ReadPlan.h"

#include <QList>
#include <functional>
#include <memory>

// The engine calls' use of a Modbus device, synchronous as the engine interface requires: each
// call makes a connection of its own on the calling thread, waits in a local event loop until
// the device has answered or the timeout has passed, and closes the connection again. So an
// engine call may run on any thread, one after the other on different ones. User input waits
// meanwhile. Every failure throws EngineError with a text that names the device and the reason.
namespace modbus {

class ModbusLink final
{
public:
    explicit ModbusLink(ModbusSettings settings);

    // Connects and reads the block once, all within the timeout, to prove that the unit answers;
    // a rejection of the addresses proves it too. True when the device sent the values.
    bool probe(const ReadBlock& block) const;

    // Which entries of the map the device serves (one flag for each): reads the map's blocks in
    // as few requests as the plan allows, splitting a block the device rejects. `progress`, when
    // given, is told the entries read so far after each answer. A device that rejects every
    // entry (exceptions 01 and 02) serves none of the map's names: that throws, saying so.
    QList<bool> served(const std::shared_ptr<const RegisterMap>& map,
                       const std::function<void(qint64 done, qint64 total)>& progress = nullptr) const;

    const ModbusSettings& settings() const { return m_settings; }

private:
    ModbusSettings m_settings;
};

} // namespace modbus
