#pragma once

#include "model/KivDoc.h"

#include <cstdint>
#include <string>
#include <vector>

namespace TidyTest {

// Adds url as a bookmark of its own even when another entry has that URL already, as
// editing a bookmark's URL can leave it.
inline uint32_t AddEntry(CKivDoc& doc, const std::string& url, const std::string& name,
                         CFolderNode* folder)
{
    const std::string unique = "tidy-test:" + std::to_string(doc.BookmarkCount());
    uint32_t i = 0;
    doc.AddBookmark(unique.c_str(), name.c_str(), "", folder, false, &i);
    doc.SetBookmarkUrl(i, url);
    return i;
}

inline bool Lists(const CFolderNode* folder, uint32_t i)
{
    for (uint32_t k : folder->m_aBookmarks)
        if (k == i)
            return true;
    return false;
}

} // namespace TidyTest
