#pragma once

#include <QtGlobal>
#include <algorithm>
#include <vector>

// Indices of things kept elsewhere (rows, texts), found by a key each thing holds itself: an
// open-addressing table of 32-bit indices, 5 to 11 bytes an entry where a QHash would keep a
// copy of every key and value in nodes of its own. Entries are never removed.
class IndexTable
{
public:
    static constexpr quint32 None = 0xffffffffu;

    void clear()
    {
        m_slots = {};
        m_count = 0;
    }

    // The index whose key hashes to hash and for which matches(index) holds; None when none.
    template <typename Matches> quint32 find(size_t hash, Matches matches) const
    {
        return m_slots.empty() ? None : m_slots[slotOf(hash, matches)];
    }

    // Adds index under hash, or puts it in the place of an index whose key is the same
    // (matches). hashOf(i) gives the hash of an index already in, to move it when the table
    // grows.
    template <typename Matches, typename HashOf>
    void insert(size_t hash, quint32 index, Matches matches, HashOf hashOf)
    {
        if (!fits(m_count + 1))
            rebuild(std::max(MinSlots, m_slots.size() * 2), hashOf);
        quint32 &slot = m_slots[slotOf(hash, matches)];
        if (slot == None)
            ++m_count;
        slot = index;
    }

    // Room for count entries without growing.
    template <typename HashOf> void reserve(size_t count, HashOf hashOf)
    {
        if (!fits(count))
            rebuild(std::max(MinSlots, count + count / 3 + 1), hashOf);
    }

private:
    static constexpr size_t MinSlots = 16;

    // At most three slots in four taken: linear probing stays short.
    bool fits(size_t count) const { return count * 4 <= m_slots.size() * 3; }

    // The first slot to try: the hash's high 32 bits scaled to the table, so the table needs
    // no power-of-two size.
    size_t home(size_t hash) const
    {
        const quint32 high = quint32(quint64(hash) >> (sizeof(size_t) > 4 ? 32 : 0));
        return size_t((quint64(high) * m_slots.size()) >> 32);
    }

    template <typename Matches> size_t slotOf(size_t hash, Matches matches) const
    {
        size_t i = home(hash);
        while (m_slots[i] != None && !matches(m_slots[i]))
            i = i + 1 == m_slots.size() ? 0 : i + 1;
        return i;
    }

    template <typename HashOf> void rebuild(size_t slots, HashOf hashOf)
    {
        std::vector<quint32> old(slots, None);
        m_slots.swap(old);
        for (const quint32 index : old) {
            if (index != None)
                m_slots[slotOf(hashOf(index), [](quint32) { return false; })] = index;
        }
    }

    std::vector<quint32> m_slots;
    size_t m_count = 0;
};
