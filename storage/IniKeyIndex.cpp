#include "storage/IniKeyIndex.h"

#include <algorithm>
#include <cstring>

namespace {

char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

} // namespace

namespace IniNames {

size_t caseFoldHash(std::string_view name) noexcept
{
    // Setting bit 5 of every byte maps both letter cases to one value; the few other bytes it
    // merges ('[' and '{', for instance) only share a hash, equality still tells them apart.
    constexpr quint64 kCaseBits = 0x2020202020202020ull;
    constexpr quint64 kMultiplier = 0x9E3779B97F4A7C15ull;
    quint64 hash = name.size() * kMultiplier;
    size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        quint64 word;
        std::memcpy(&word, name.data() + i, 8);
        hash = (hash ^ (word | kCaseBits)) * kMultiplier;
        hash ^= hash >> 29;
    }
    quint64 tail = 0;
    for (size_t shift = 0; i < name.size(); ++i, shift += 8)
        tail |= quint64(static_cast<unsigned char>(name[i]) | 0x20) << shift;
    hash = (hash ^ tail) * kMultiplier;
    return size_t(hash ^ (hash >> 32));
}

bool caseFoldEqual(std::string_view a, std::string_view b) noexcept
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return foldCase(x) == foldCase(y); });
}

} // namespace IniNames

void IniKeyIndex::insert(quint32 hash, qint32 line)
{
    if ((m_occupied + 1) * 2 > m_slots.size())
        rehash((m_occupied + 1) * 2);
    size_t i = hash & mask();
    while (m_slots[i].entry.line != kEmpty && m_slots[i].entry.line != kErased)
        i = (i + 1) & mask();
    if (m_slots[i].entry.line == kEmpty)
        ++m_occupied;
    m_slots[i] = Slot{hash, Entry{line, 1}};
}

void IniKeyIndex::reserve(size_t count)
{
    if ((count + 1) * 2 > m_slots.size())
        rehash(count);
}

void IniKeyIndex::rehash(size_t room)
{
    // At least twice the slots of what it is to hold, at least 16; erased slots are dropped.
    const size_t live = size_t(
        std::count_if(m_slots.begin(), m_slots.end(), [](const Slot& slot) { return slot.entry.line >= 0; }));
    size_t capacity = 16;
    while (capacity < (qMax(live, room) + 1) * 2)
        capacity *= 2;
    std::vector<Slot> old(capacity);
    old.swap(m_slots);
    m_occupied = live;
    for (const Slot& slot : old) {
        if (slot.entry.line < 0)
            continue;
        size_t i = slot.hash & mask();
        while (m_slots[i].entry.line != kEmpty)
            i = (i + 1) & mask();
        m_slots[i] = slot;
    }
}
