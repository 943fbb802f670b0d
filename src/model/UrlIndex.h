#pragma once

#include "Bookmark.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Finds the first bookmark with a given URL without scanning the table: an
// open-addressing hash set of table indexes, keyed by the exact URL bytes.
class CUrlIndex
{
public:
    void Clear();
    void Reserve(size_t count);
    // Lowest index whose URL equals url byte for byte, or -1.
    int32_t Find(std::string_view url, const std::vector<CBookmark>& table) const;
    // Records index unless a lower index already holds the same URL.
    void Add(uint32_t index, const std::vector<CBookmark>& table);
    // The bookmark at index changed its URL from oldUrl (table already updated).
    void Changed(uint32_t index, std::string_view oldUrl, const std::vector<CBookmark>& table);

    // The bookmark at index, the last of the table, is about to go.
    void RemoveLast(uint32_t index, std::string_view url);

private:
    struct Slot
    {
        uint32_t index1 = 0; // index + 1; 0 = empty
        uint32_t hash = 0;
    };
    static uint32_t Hash(std::string_view url);
    size_t Probe(std::string_view url, uint32_t hash, const std::vector<CBookmark>& table) const;
    void Grow(const std::vector<CBookmark>& table);
    void EraseSlot(size_t slot);

    std::vector<Slot> m_slots;
    size_t m_used = 0;
};
