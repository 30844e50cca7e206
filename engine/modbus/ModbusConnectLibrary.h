#pragma once

#include "engine/modbus/ModbusConnect.h"

// Finds and loads the plug-in's connection library, kept loaded for the rest of the run: the
// controllers it made run its code. Throws EngineError naming the library and the reason
// when it cannot be loaded.
namespace modbus {

QuorModbusConnect& connectEntry();

// The library's values entry once the library is loaded; none before, as no controller of this
// plug-in can exist then. Safe from any thread.
QuorModbusValues* loadedValuesEntry();

// Where the connection library is looked for: the folder "modbus" beside the plug-in's file.
QString connectLibraryPath();

} // namespace modbus
