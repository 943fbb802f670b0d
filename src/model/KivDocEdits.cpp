// The document's whole edits: what the window's commands do to the collection, each
// in one call that keeps every rule of the tree and the bookmark table.
#include "KivDoc.h"

#include "framework/TextRules.h"

#include <algorithm>

namespace {

bool IsWithin(const CFolderNode* folder, const CFolderNode* ancestor)
{
    for (const CFolderNode* f = folder; f; f = f->m_pParent)
        if (f == ancestor)
            return true;
    return false;
}

// Levels of folders below `folder` (0 for a folder without subfolders).
int SubtreeHeight(const CFolderNode* folder)
{
    int height = 0;
    for (const CFolderNode* c = folder->m_pFirstChild; c; c = c->m_pNext)
        height = std::max(height, 1 + SubtreeHeight(c));
    return height;
}

} // namespace

CKivDoc::FolderMove CKivDoc::CheckFolderMove(const CFolderNode* folder,
                                             const CFolderNode* parent) const
{
    if (!folder || !parent || IsBuiltIn(folder) || !folder->m_pParent)
        return FolderMove::notMovable;
    if (parent == folder)
        return FolderMove::onItself;
    if (parent == folder->m_pParent)
        return FolderMove::onParent;
    if (parent == &m_check)
        return FolderMove::onCheck;
    if (IsWithin(parent, folder))
        return FolderMove::onChild;
    // A file keeps folders down to kMaxDepth levels; deeper ones would be lost.
    if (FolderDepth(parent) + 1 + SubtreeHeight(folder) > kMaxDepth)
        return FolderMove::tooDeep;
    return FolderMove::ok;
}

bool CKivDoc::MoveFolder(CFolderNode* folder, CFolderNode* parent)
{
    if (CheckFolderMove(folder, parent) != FolderMove::ok)
        return false;
    std::unique_ptr<CFolderNode> owned = DetachFolder(folder);
    if (!owned)
        return false;
    InsertFolder(parent, std::move(owned));
    return true;
}

bool CKivDoc::RenameFolder(CFolderNode* folder, std::string name)
{
    if (!folder || IsBuiltIn(folder))
        return false;
    CFolderNode* parent = folder->m_pParent;
    std::unique_ptr<CFolderNode> owned = DetachFolder(folder);
    if (!owned)
        return false;
    // Renamed while out of the chain, so that it goes back in at its new place.
    owned->m_strName = std::move(name);
    InsertFolder(parent, std::move(owned));
    return true;
}

bool CKivDoc::DeleteFolderToTrash(CFolderNode* folder)
{
    if (!folder || IsBuiltIn(folder))
        return false;
    TrashChainBookmarks(folder->m_pFirstChild);
    TrashFolderBookmarks(folder);
    if (m_pCurFolder && IsWithin(m_pCurFolder, folder))
        m_pCurFolder = folder->m_pParent;
    DeleteFolder(folder);
    SetModifiedFlag();
    return true;
}

size_t CKivDoc::MoveOrCopyBookmarks(CFolderNode* from, CFolderNode* to,
                                    const std::vector<uint32_t>& bookmarks, bool copy)
{
    if (!from || !to || from == to || to == &m_check || bookmarks.empty())
        return 0;
    const std::vector<uint32_t> taken(bookmarks); // unlinking may change the list given
    MoveBookmarks(from, to, taken, copy);
    SetModifiedFlag();
    return taken.size();
}

int CKivDoc::EditBookmark(uint32_t i, std::string name, std::string url, std::string comment,
                          CFolderNode* shown)
{
    if (i >= BookmarkCount())
        return -1;
    const bool renamed = KivText::CompareNoCase(name, m_bookmarks[i].m_strName) != 0;
    SetBookmarkName(i, std::move(name));
    SetBookmarkUrl(i, std::move(url));
    SetBookmarkComment(i, std::move(comment));
    SetModifiedFlag();
    const std::vector<uint32_t>* list = shown ? &shown->m_aBookmarks : nullptr;
    if (!renamed || !list || std::find(list->begin(), list->end(), i) == list->end())
        return -1;
    // Only the shown folder takes the new order; the others keep theirs.
    UnlinkBookmark(shown, i);
    int position = -1;
    LinkBookmark(shown, i, &position);
    return position;
}

size_t CKivDoc::MergeBookmarks(const std::vector<CMergeSet>& sets)
{
    std::vector<uint32_t> replacement(m_bookmarks.size(), kKeepAsIs);
    for (const CMergeSet& set : sets)
        for (uint32_t other : set.others)
            if (other != set.keep && other < replacement.size() && set.keep < replacement.size())
                replacement[other] = set.keep;
    // A kept bookmark that another set merges away stays: it keeps its own places.
    for (const CMergeSet& set : sets)
        if (set.keep < replacement.size())
            replacement[set.keep] = kKeepAsIs;
    return ReplaceBelowRoot(replacement);
}

size_t CKivDoc::TrashBookmarks(const std::vector<uint32_t>& bookmarks)
{
    std::vector<uint32_t> replacement(m_bookmarks.size(), kKeepAsIs);
    for (uint32_t i : bookmarks)
        if (i < replacement.size())
            replacement[i] = kNoOne;
    return ReplaceBelowRoot(replacement);
}

size_t CKivDoc::ReplaceBelowRoot(const std::vector<uint32_t>& replacement)
{
    std::vector<uint32_t> trashed;
    for (uint32_t i = 0; i < replacement.size(); ++i)
        if (replacement[i] != kKeepAsIs)
            trashed.push_back(i);
    if (trashed.empty())
        return 0;
    std::vector<CFolderNode*> pending{&m_root};
    std::vector<uint32_t> leaving, staying;
    while (!pending.empty()) {
        CFolderNode* folder = pending.back();
        pending.pop_back();
        for (CFolderNode* c = folder->m_pFirstChild; c; c = c->m_pNext)
            pending.push_back(c);
        leaving.clear();
        staying.clear();
        for (uint32_t i : folder->m_aBookmarks)
            if (replacement[i] != kKeepAsIs) {
                leaving.push_back(i);
                if (replacement[i] != kNoOne)
                    staying.push_back(replacement[i]);
            }
        if (leaving.empty())
            continue;
        UnlinkBookmarks(folder, leaving);
        LinkBookmarks(folder, staying);
    }
    LinkBookmarks(&m_trash, trashed);
    SetModifiedFlag();
    return trashed.size();
}
