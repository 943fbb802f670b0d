#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A set of bookmark indexes: open addressing with linear probing, erasing by
// shifting the following entries back, so no slot is ever left as a tombstone.
class CIndexSet
{
public:
    explicit CIndexSet(size_t expected = 0) { Rehash(expected); }

    bool Contains(uint32_t i) const
    {
        for (size_t s = Home(i);; s = (s + 1) & m_mask) {
            if (m_slots[s] == i)
                return true;
            if (m_slots[s] == kEmpty)
                return false;
        }
    }
    // False when i was there already.
    bool Insert(uint32_t i);
    // False when i was not there.
    bool Erase(uint32_t i);
    size_t Size() const { return m_size; }

private:
    static constexpr uint32_t kEmpty = UINT32_MAX;

    size_t Home(uint32_t i) const
    {
        return static_cast<size_t>((uint64_t(i) * 0x9E3779B97F4A7C15ULL) >> m_shift) & m_mask;
    }
    void Rehash(size_t expected);

    std::vector<uint32_t> m_slots;
    size_t m_mask = 0;
    int m_shift = 64;
    size_t m_size = 0;
};
