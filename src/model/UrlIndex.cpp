#include "UrlIndex.h"

#include <functional>

uint32_t CUrlIndex::Hash(std::string_view url)
{
    const size_t h = std::hash<std::string_view>{}(url);
    return static_cast<uint32_t>(h ^ (h >> 32));
}

void CUrlIndex::Clear()
{
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_used = 0;
}

void CUrlIndex::Reserve(size_t count)
{
    size_t want = 16;
    while (want < count * 2)
        want *= 2;
    if (want > m_slots.size() && m_used == 0)
        m_slots.assign(want, Slot{});
}

// The slot that holds url, or the empty slot where it would go.
size_t CUrlIndex::Probe(std::string_view url, uint32_t hash,
                        const std::vector<CBookmark>& table) const
{
    const size_t mask = m_slots.size() - 1;
    size_t slot = hash & mask;
    while (m_slots[slot].index1 != 0) {
        const Slot& s = m_slots[slot];
        if (s.hash == hash && table[s.index1 - 1].m_strUrl == url)
            return slot;
        slot = (slot + 1) & mask;
    }
    return slot;
}

int32_t CUrlIndex::Find(std::string_view url, const std::vector<CBookmark>& table) const
{
    if (m_slots.empty())
        return -1;
    const size_t slot = Probe(url, Hash(url), table);
    return m_slots[slot].index1 == 0 ? -1 : static_cast<int32_t>(m_slots[slot].index1 - 1);
}

void CUrlIndex::Grow(const std::vector<CBookmark>& table)
{
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    const size_t mask = m_slots.size() - 1;
    for (const Slot& s : old) {
        if (s.index1 == 0)
            continue;
        size_t slot = s.hash & mask;
        while (m_slots[slot].index1 != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = s;
    }
}

void CUrlIndex::Add(uint32_t index, const std::vector<CBookmark>& table)
{
    if ((m_used + 1) * 2 > m_slots.size())
        Grow(table);
    const std::string_view url = table[index].m_strUrl;
    const uint32_t hash = Hash(url);
    const size_t slot = Probe(url, hash, table);
    Slot& s = m_slots[slot];
    if (s.index1 == 0) {
        s = Slot{index + 1, hash};
        ++m_used;
    } else if (index + 1 < s.index1) {
        s.index1 = index + 1;
    }
}

void CUrlIndex::EraseSlot(size_t slot)
{
    // Backward-shift deletion keeps every probe chain unbroken without tombstones.
    const size_t mask = m_slots.size() - 1;
    size_t hole = slot;
    size_t next = (hole + 1) & mask;
    while (m_slots[next].index1 != 0) {
        const size_t home = m_slots[next].hash & mask;
        // Move the entry back when the hole lies between its home and its place.
        if (((next - home) & mask) >= ((next - hole) & mask)) {
            m_slots[hole] = m_slots[next];
            hole = next;
        }
        next = (next + 1) & mask;
    }
    m_slots[hole] = Slot{};
    --m_used;
}

void CUrlIndex::Changed(uint32_t index, std::string_view oldUrl,
                        const std::vector<CBookmark>& table)
{
    if (!m_slots.empty()) {
        const uint32_t hash = Hash(oldUrl);
        const size_t mask = m_slots.size() - 1;
        size_t slot = hash & mask;
        // The old URL's entry no longer matches the table by string, so look for it
        // by hash and index.
        while (m_slots[slot].index1 != 0) {
            if (m_slots[slot].hash == hash && m_slots[slot].index1 == index + 1) {
                EraseSlot(slot);
                // Another bookmark may share the old URL: the lowest one takes over.
                for (uint32_t k = index + 1; k < table.size(); ++k)
                    if (table[k].m_strUrl == oldUrl) {
                        Add(k, table);
                        break;
                    }
                break;
            }
            slot = (slot + 1) & mask;
        }
    }
    Add(index, table);
}

void CUrlIndex::RemoveLast(uint32_t index, std::string_view url)
{
    if (m_slots.empty())
        return;
    const uint32_t hash = Hash(url);
    const size_t mask = m_slots.size() - 1;
    // No bookmark after it can take its URL over: it is the last one.
    for (size_t slot = hash & mask; m_slots[slot].index1 != 0; slot = (slot + 1) & mask)
        if (m_slots[slot].hash == hash && m_slots[slot].index1 == index + 1) {
            EraseSlot(slot);
            return;
        }
}
