#pragma once

#include "engine/modbus/RegisterMap.h"

#include <QList>

// How the names of a register map are checked against a device: one read for each block of
// neighbouring addresses, within the most one Modbus request may read.
namespace modbus {

struct ReadBlock
{
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    quint16 start = 0;
    quint16 count = 0;
    // Indexes into the map of the entries the block covers.
    QList<qsizetype> entries;
};

// The blocks that cover every entry: per table, entries whose addresses touch or overlap are
// read together as long as the block stays within 125 registers or 2000 bits.
QList<ReadBlock> planReads(const RegisterMap& map);

// The block that reads one entry alone.
ReadBlock blockOf(const RegisterMap& map, qsizetype entry);

} // namespace modbus
