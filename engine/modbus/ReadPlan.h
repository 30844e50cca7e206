#pragma once

#include "engine/modbus/RegisterMap.h"

#include <QList>

// How the entries of a register map are read: in blocks of neighbouring addresses, as few as
// possible, each within the most one Modbus request may read (125 registers or 2,000 bits).
// A block reads through small gaps between its entries, the unnamed addresses there included:
// at most 16 registers or 256 bits, that is at most 32 bytes more in the answer, which costs far
// less than a request (and a round trip) of its own. A device that rejects such a gap teaches
// a fence (below), so the gap costs the splitting once.
namespace modbus {

struct ReadBlock
{
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    quint16 start = 0;
    quint16 count = 0;
    // Indexes into the map of the entries the block covers, by address.
    QList<qsizetype> entries;
};

// Addresses of a table no block may read: [from, to). With from == to, a point no block may
// reach across (one may end there, the next begin there).
struct Fence
{
    QModbusDataUnit::RegisterType table = QModbusDataUnit::Invalid;
    int from = 0;
    int to = 0;
};

// The most one read may ask for, and the widest gap a block reads through, in the table's units.
int readLimit(QModbusDataUnit::RegisterType table);
int gapLimit(QModbusDataUnit::RegisterType table);

// The fewest blocks that cover the wanted entries (indexes into the map, in any order, repeats
// allowed) without crossing a fence. A single entry is read alone even where it crosses one.
QList<ReadBlock> planReads(const RegisterMap& map, const QList<qsizetype>& wanted,
                           const QList<Fence>& fences = {});
// Every entry of the map, no fences.
QList<ReadBlock> planReads(const RegisterMap& map);

// The block that reads one entry alone.
ReadBlock blockOf(const RegisterMap& map, qsizetype entry);
// The block that reads the entries (indexes by address, at least one).
ReadBlock blockOf(const RegisterMap& map, const QList<qsizetype>& entries);

} // namespace modbus
