#include "engine/modbus/scan/DeviceScan.h"
#include "engine/modbus/scan/ScanApi.h"

extern "C" Q_DECL_EXPORT void quorModbusScan(std::unique_ptr<modbusscan::IDeviceScan>& scan)
{
    scan = std::make_unique<modbusscan::DeviceScan>();
}
