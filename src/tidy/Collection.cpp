#include "Collection.h"

#include "framework/TextRules.h"
#include "model/KivDoc.h"

#include <algorithm>
#include <string>

std::vector<uint32_t> BookmarksBelow(const CKivDoc& doc, const CFolderNode* folder)
{
    std::vector<uint32_t> out;
    std::vector<bool> seen(doc.BookmarkCount(), false);
    std::vector<const CFolderNode*> pending{folder};
    while (!pending.empty()) {
        const CFolderNode* f = pending.back();
        pending.pop_back();
        for (uint32_t i : f->m_aBookmarks)
            if (i < seen.size() && !seen[i]) {
                seen[i] = true;
                out.push_back(i);
            }
        // Children reversed on the stack so the walk visits them in their order.
        const size_t mark = pending.size();
        for (const CFolderNode* c = f->m_pFirstChild; c; c = c->m_pNext)
            pending.push_back(c);
        std::reverse(pending.begin() + std::ptrdiff_t(mark), pending.end());
    }
    return out;
}

const CFolderNode* FindFolderPath(const CKivDoc& doc, std::string_view path)
{
    const CFolderNode* folder = &doc.m_root;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string segment(path.substr(0, slash));
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (segment.empty())
            continue;
        const CFolderNode* next = nullptr;
        for (const CFolderNode* c = folder->m_pFirstChild; c && !next; c = c->m_pNext)
            if (KivText::CompareNoCase(c->m_strName, segment) == 0)
                next = c;
        if (!next)
            return nullptr;
        folder = next;
    }
    return folder;
}

void RefreshAllViews(CKivDoc& doc)
{
    doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &doc.m_root);
    doc.UpdateAllViews(nullptr, HINT_REFRESH);
}
