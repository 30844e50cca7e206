#pragma once

#include "engine/modbus/RegisterMap.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

// The value of a map entry in its registers: its type and byte order applied both ways. A bool is
// one bit (0 or 1); the other types take one or two registers.
namespace modbus {

// The entry's value from its registers (or its bit), entry.count of them: bool for a bool,
// qint64 for the integer types, double for float32.
QVariant decodeValue(const RegisterEntry& entry, const QList<quint16>& words);

// The registers (or the bit) that hold the value, or nothing and the reason when the value is
// not of the entry's type or does not fit it. Integers take whole numbers (a double without a
// fraction too), float32 any finite number within its range, bool only true or false.
std::optional<QList<quint16>> encodeValue(const RegisterEntry& entry, const QVariant& value, QString* reason);

} // namespace modbus
