#pragma once

#include "engine/modbus/ModbusSession.h"
#include "engine/modbus/scan/ScanApi.h"

#include <QByteArray>
#include <functional>

// Read Device Identification (function 43, MEI type 14): the basic objects, vendor name (0),
// product code (1) and revision (2), asked for again where the device says more follow.
namespace modbusscan {

// The request for the objects from `firstObject` on.
QModbusRequest identificationRequest(int firstObject);

// What one answer's data holds: its objects by id, and the object to ask for next (-1: none).
struct IdentificationPart
{
    bool valid = false;
    QList<std::pair<int, QByteArray>> objects;
    int nextObject = -1;
};
IdentificationPart parseIdentification(const QByteArray& data);

void readIdentification(modbus::ModbusSession& session, int unit,
                        std::function<void(const Identification&)> done);

} // namespace modbusscan
