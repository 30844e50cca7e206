#pragma once

#include "engine/modbus/ModbusValues.h"

#include <QString>

namespace modbusscan {

// "exception 0B (Gateway target device failed to respond)": the code in hexadecimal, as device
// manuals write it.
inline QString exceptionText(int code)
{
    return QStringLiteral("exception %1 (%2)")
        .arg(QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper(), modbus::exceptionName(code));
}

} // namespace modbusscan
