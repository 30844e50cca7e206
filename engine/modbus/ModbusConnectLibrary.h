#pragma once

#include "engine/modbus/ModbusConnect.h"

// Finds and loads the plug-in's connection library, kept loaded for the rest of the run: the
// controllers it made run its code. Throws EngineError naming the library and the reason
// when it cannot be loaded.
namespace modbus {

QuorModbusConnect& connectEntry();

// Where the connection library is looked for: the folder "modbus" beside the plug-in's file.
QString connectLibraryPath();

} // namespace modbus
