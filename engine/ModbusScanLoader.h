#pragma once

#include "engine/modbus/scan/ScanApi.h"

#include <memory>

// A scanner of Modbus devices, from the Modbus plug-in's connection library, which is loaded at
// the first scan (or was, by a connection). Found beside the plug-in that the engine loads: in the
// folders of QUOR_ENGINE when it is set, else in the engine plug-in folders. Throws EngineError
// saying why when the library is missing or cannot be loaded.
std::unique_ptr<modbusscan::IDeviceScan> createModbusScan();
