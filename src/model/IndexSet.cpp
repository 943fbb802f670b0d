#include "IndexSet.h"

#include <algorithm>
#include <bit>

bool CIndexSet::Insert(uint32_t i)
{
    // At most half full, so a miss ends at an empty slot soon.
    if (2 * (m_size + 1) > m_slots.size())
        Rehash(2 * (m_size + 1));
    size_t s = Home(i);
    for (; m_slots[s] != kEmpty; s = (s + 1) & m_mask)
        if (m_slots[s] == i)
            return false;
    m_slots[s] = i;
    ++m_size;
    return true;
}

bool CIndexSet::Erase(uint32_t i)
{
    size_t s = Home(i);
    for (; m_slots[s] != i; s = (s + 1) & m_mask)
        if (m_slots[s] == kEmpty)
            return false;
    // Entries after the hole move back into it when their home lies at or before it.
    size_t hole = s;
    for (size_t k = (hole + 1) & m_mask; m_slots[k] != kEmpty; k = (k + 1) & m_mask) {
        const size_t home = Home(m_slots[k]);
        // Whether home lies cyclically in (hole, k]: then the entry must stay.
        const bool stays = hole <= k ? (home > hole && home <= k) : (home > hole || home <= k);
        if (!stays) {
            m_slots[hole] = m_slots[k];
            hole = k;
        }
    }
    m_slots[hole] = kEmpty;
    --m_size;
    return true;
}

void CIndexSet::Rehash(size_t expected)
{
    const size_t capacity = std::bit_ceil(std::max<size_t>(16, 2 * expected));
    std::vector<uint32_t> old = std::move(m_slots);
    m_slots.assign(capacity, kEmpty);
    m_mask = capacity - 1;
    m_shift = 64 - std::countr_zero(capacity);
    m_size = 0;
    for (uint32_t i : old)
        if (i != kEmpty)
            Insert(i);
}
