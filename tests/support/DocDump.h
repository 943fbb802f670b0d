#pragma once

// The whole contents of a document as text, to compare one state with another.

#include "model/KivDoc.h"

#include <sstream>
#include <string>

namespace KivTest {

// Everything a user or a file could tell apart, plus the counts, the table size and
// the current folder (starred).
inline std::string Dump(const CKivDoc& doc)
{
    std::ostringstream out;
    const auto folder = [&](const auto& self, const CFolderNode& f, int depth) -> void {
        out << std::string(size_t(depth), ' ') << (&f == doc.m_pCurFolder ? "*[" : "[")
            << f.m_strName << ']';
        for (uint32_t i : f.m_aBookmarks)
            out << ' ' << i;
        out << '\n';
        for (const CFolderNode* c = f.m_pFirstChild; c; c = c->m_pNext)
            self(self, *c, depth + 1);
    };
    folder(folder, doc.m_root, 0);
    folder(folder, doc.m_trash, 0);
    folder(folder, doc.m_check, 0);
    for (uint32_t i = 0; i < doc.BookmarkCount(); ++i) {
        const CBookmark& b = doc.Bookmark(i);
        out << i << ' ' << b.m_strUrl << '|' << b.m_strName << '|' << b.m_strComment << '|'
            << b.m_nRefs << '\n';
    }
    return out.str();
}

} // namespace KivTest
