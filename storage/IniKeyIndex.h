#pragma once

#include <QtGlobal>
#include <string_view>
#include <vector>

namespace IniNames {

// Section and key names match without regard to ASCII letter case.
size_t caseFoldHash(std::string_view name) noexcept;
bool caseFoldEqual(std::string_view a, std::string_view b) noexcept;

struct CaseFoldHash
{
    using is_transparent = void;
    size_t operator()(std::string_view name) const noexcept { return caseFoldHash(name); }
};

struct CaseFoldEqual
{
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return caseFoldEqual(a, b); }
};

} // namespace IniNames

// The lines of one section by key name: for each name the first line that holds it and how
// many lines do. Names are not copied; `nameAt(line)` reads them from the lines themselves.
class IniKeyIndex final
{
public:
    struct Entry
    {
        qint32 line = 0;
        quint32 count = 0;
    };

    static quint32 hashOf(std::string_view name) { return quint32(IniNames::caseFoldHash(name)); }

    // The entry of a name (its hashOf() given or not), or nullptr.
    template <typename NameAt>
    const Entry* find(std::string_view name, NameAt nameAt) const
    {
        return find(name, hashOf(name), nameAt);
    }
    template <typename NameAt>
    const Entry* find(std::string_view name, quint32 hash, NameAt nameAt) const
    {
        const qsizetype slot = slotOf(name, hash, nameAt);
        return slot < 0 ? nullptr : &m_slots[slot].entry;
    }
    template <typename NameAt>
    Entry* find(std::string_view name, NameAt nameAt)
    {
        return find(name, hashOf(name), nameAt);
    }
    template <typename NameAt>
    Entry* find(std::string_view name, quint32 hash, NameAt nameAt)
    {
        const qsizetype slot = slotOf(name, hash, nameAt);
        return slot < 0 ? nullptr : &m_slots[slot].entry;
    }

    // Counts one more line of that name; the first one counted is the entry's line.
    template <typename NameAt>
    void add(std::string_view name, qint32 line, NameAt nameAt)
    {
        const quint32 hash = hashOf(name);
        const qsizetype slot = slotOf(name, hash, nameAt);
        if (slot >= 0)
            ++m_slots[slot].entry.count;
        else
            insert(hash, line);
    }

    // Adds a name that the index does not hold yet, by its hashOf().
    void addNew(quint32 hash, qint32 line) { insert(hash, line); }

    // Makes room for that many names without growing again.
    void reserve(size_t count);

    // Forgets an entry found by `find`.
    void erase(Entry* entry) { entry->line = kErased; }
    void clear()
    {
        m_slots.clear();
        m_occupied = 0;
    }

private:
    static constexpr qint32 kEmpty = -1;
    static constexpr qint32 kErased = -2;
    // Twelve bytes a slot: a large section's index stays small beside its lines.
    struct Slot
    {
        quint32 hash = 0;
        Entry entry{kEmpty, 0};
    };

    size_t mask() const { return m_slots.size() - 1; }
    template <typename NameAt>
    qsizetype slotOf(std::string_view name, quint32 hash, NameAt nameAt) const
    {
        if (m_slots.empty())
            return -1;
        for (size_t i = hash & mask();; i = (i + 1) & mask()) {
            const Slot& slot = m_slots[i];
            if (slot.entry.line == kEmpty)
                return -1;
            if (slot.entry.line != kErased && slot.hash == hash &&
                IniNames::caseFoldEqual(nameAt(slot.entry.line), name))
                return qsizetype(i);
        }
    }
    void insert(quint32 hash, qint32 line);
    void rehash(size_t room);

    std::vector<Slot> m_slots;
    size_t m_occupied = 0; // live and erased slots
};
