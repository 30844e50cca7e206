#include "engine/modbus/ReadPlan.h"

#include <algorithm>
#include <map>

namespace modbus {

namespace {

bool isBitTable(QModbusDataUnit::RegisterType table)
{
    return table == QModbusDataUnit::Coils || table == QModbusDataUnit::DiscreteInputs;
}

int endOf(const RegisterEntry& entry)
{
    return entry.address + entry.count;
}

// The fences of each table by where they begin, to find those a block would cross.
class FenceIndex final
{
public:
    explicit FenceIndex(const QList<Fence>& fences)
    {
        for (const Fence& fence : fences) {
            m_byTable[fence.table].emplace(fence.from, fence.to);
            m_longest = std::max(m_longest, fence.to - fence.from);
        }
    }

    // Whether reading [start, end) of the table crosses a fence.
    bool crossed(QModbusDataUnit::RegisterType table, int start, int end) const
    {
        const auto found = m_byTable.find(table);
        if (found == m_byTable.end())
            return false;
        const std::multimap<int, int>& fences = found->second;
        for (auto it = fences.lower_bound(start - m_longest); it != fences.end() && it->first < end; ++it) {
            const bool point = it->first == it->second;
            if (point ? (start < it->first && it->first < end) : (start < it->second && it->first < end))
                return true;
        }
        return false;
    }

private:
    std::map<QModbusDataUnit::RegisterType, std::multimap<int, int>> m_byTable;
    int m_longest = 0;
};

} // namespace

int readLimit(QModbusDataUnit::RegisterType table)
{
    return isBitTable(table) ? 2000 : 125;
}

int gapLimit(QModbusDataUnit::RegisterType table)
{
    return isBitTable(table) ? 256 : 16;
}

ReadBlock blockOf(const RegisterMap& map, qsizetype entry)
{
    const RegisterEntry& e = map.at(entry);
    return ReadBlock{e.table, e.address, e.count, {entry}};
}

ReadBlock blockOf(const RegisterMap& map, const QList<qsizetype>& entries)
{
    ReadBlock block = blockOf(map, entries.first());
    int end = block.start + block.count;
    for (const qsizetype index : entries)
        end = std::max(end, endOf(map.at(index)));
    block.count = quint16(end - block.start);
    block.entries = entries;
    return block;
}

QList<ReadBlock> planReads(const RegisterMap& map, const QList<qsizetype>& wanted, const QList<Fence>& fences)
{
    QList<qsizetype> order = wanted;
    std::sort(order.begin(), order.end(), [&map](qsizetype a, qsizetype b) {
        const RegisterEntry& x = map.at(a);
        const RegisterEntry& y = map.at(b);
        if (x.table != y.table)
            return x.table < y.table;
        return x.address != y.address ? x.address < y.address : a < b;
    });
    order.erase(std::unique(order.begin(), order.end()), order.end());
    const FenceIndex fenceIndex(fences);
    // Greedy from the lowest address: each block takes every next entry it can, which gives the
    // fewest blocks because any run of entries that fits one block fits with fewer entries too.
    QList<ReadBlock> blocks;
    for (const qsizetype index : order) {
        const RegisterEntry& entry = map.at(index);
        ReadBlock* last = blocks.isEmpty() ? nullptr : &blocks.last();
        if (last && last->table == entry.table) {
            const int lastEnd = last->start + last->count;
            const int end = std::max(lastEnd, endOf(entry));
            if (entry.address - lastEnd <= gapLimit(entry.table) &&
                end - last->start <= readLimit(entry.table) &&
                !fenceIndex.crossed(entry.table, last->start, end)) {
                last->count = quint16(end - last->start);
                last->entries.append(index);
                continue;
            }
        }
        blocks.append(blockOf(map, index));
    }
    return blocks;
}

QList<ReadBlock> planReads(const RegisterMap& map)
{
    QList<qsizetype> all(map.size());
    for (qsizetype i = 0; i < map.size(); ++i)
        all[i] = i;
    return planReads(map, all);
}

} // namespace modbus
