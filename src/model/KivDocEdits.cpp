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
