#include "engine/modbus/ReadPlan.h"

#include <algorithm>
#include <numeric>

namespace modbus {

namespace {

// The most one read request may ask for.
int readLimit(QModbusDataUnit::RegisterType table)
{
    const bool bits = table == QModbusDataUnit::Coils || table == QModbusDataUnit::DiscreteInputs;
    return bits ? 2000 : 125;
}

int endOf(const RegisterEntry& entry)
{
    return entry.address + entry.count;
}

} // namespace

ReadBlock blockOf(const RegisterMap& map, qsizetype entry)
{
    const RegisterEntry& e = map.at(entry);
    return ReadBlock{e.table, e.address, e.count, {entry}};
}

QList<ReadBlock> planReads(const RegisterMap& map)
{
    QList<qsizetype> order(map.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&map](qsizetype a, qsizetype b) {
        const RegisterEntry& x = map.at(a);
        const RegisterEntry& y = map.at(b);
        return x.table != y.table ? x.table < y.table : x.address < y.address;
    });
    QList<ReadBlock> blocks;
    for (const qsizetype index : order) {
        const RegisterEntry& entry = map.at(index);
        ReadBlock* last = blocks.isEmpty() ? nullptr : &blocks.last();
        const int lastEnd = last ? last->start + last->count : 0;
        const bool joins = last && last->table == entry.table && entry.address <= lastEnd &&
                           std::max(lastEnd, endOf(entry)) - last->start <= readLimit(entry.table);
        if (joins) {
            last->count = quint16(std::max(lastEnd, endOf(entry)) - last->start);
            last->entries.append(index);
        } else {
            blocks.append(blockOf(map, index));
        }
    }
    return blocks;
}

} // namespace modbus
