// The document's whole edits: what the window's commands do to the collection, each
// in one call that keeps every rule of the tree and the bookmark table.
#include "KivDoc.h"

#include "framework/TextRules.h"

#include <algorithm>
#include <array>

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

// How many levels below its built-in folder the deepest inserted folder would sit.
int DeepestLevel(const CFolderNode* target, const CFlatTree& flat)
{
    const int base = CKivDoc::FolderDepth(target);
    int deepest = base;
    const bool intoTarget = !flat.m_flatFolders.empty() && flat.m_flatFolders[0].name == "_root_";
    for (size_t i = intoTarget ? 1 : 0; i < flat.m_flatFolders.size(); ++i) {
        const int depth = flat.m_flatFolders[i].depth;
        // Below a "_root_" first folder, its children land directly in the target.
        const int level = intoTarget ? std::max(1, depth - 1) : depth;
        deepest = std::max(deepest, base + level);
    }
    return deepest;
}

// The bookmark entries each folder entry links, in link order, so the insert need
// not scan every link once per folder.
std::vector<std::vector<const CBookmark*>> EntriesByFolder(const CFlatTree& flat)
{
    std::vector<std::vector<const CBookmark*>> byFolder(flat.m_flatFolders.size());
    for (const FlatLink& l : flat.m_flatLinks)
        byFolder[l.folder].push_back(&flat.m_flatBookmarks[l.bookmark]);
    return byFolder;
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
    if (folder->m_strName == name)
        return true; // nothing to record or to re-sort
    CFolderNode* parent = folder->m_pParent;
    std::unique_ptr<CFolderNode> owned = DetachFolder(folder);
    if (!owned)
        return false;
    // Renamed while out of the chain, so that it goes back in at its new place.
    if (CDocStep* step = Recording())
        step->Add(CDocStep::FolderName{folder, folder->m_strName});
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

bool CKivDoc::IsWellFormed(const CFlatTree& flat)
{
    const size_t bookmarks = flat.m_flatBookmarks.size();
    const size_t folders = flat.m_flatFolders.size();
    for (const FlatLink& l : flat.m_flatLinks)
        if (l.folder >= folders || l.bookmark >= bookmarks)
            return false;
    int previous = 0; // the target sits at depth 0
    for (const FlatFolder& f : flat.m_flatFolders) {
        const int depth = f.depth;
        if (depth < 1 || depth > kMaxDepth || depth > previous + 1)
            return false;
        previous = depth;
    }
    return true;
}

CKivDoc::FlatInsert CKivDoc::InsertFlatTree(CFolderNode* target, const CFlatTree& flat)
{
    using Status = FlatInsert::Status;
    FlatInsert result;
    if (!target)
        return result;
    // Checked before the first change, so a refused tree leaves the document as it was.
    if (!IsWellFormed(flat)) {
        result.status = Status::damaged;
        return result;
    }
    if (DeepestLevel(target, flat) > kMaxDepth) {
        result.status = Status::tooDeep;
        return result;
    }
    result.status = Status::inserted;

    if (flat.m_flatFolders.empty()) {
        std::vector<const CBookmark*> backwards;
        backwards.reserve(flat.m_flatBookmarks.size());
        for (auto it = flat.m_flatBookmarks.rbegin(); it != flat.m_flatBookmarks.rend(); ++it)
            backwards.push_back(&*it);
        result.added = static_cast<uint32_t>(AddBookmarks(target, backwards));
        return result;
    }

    result.subtree = true;
    const std::vector<std::vector<const CBookmark*>> entries = EntriesByFolder(flat);
    // The folder last placed at each depth; depth 0 is the target.
    std::array<CFolderNode*, kMaxDepth + 1> level{};
    level[0] = target;
    for (size_t i = 0; i < flat.m_flatFolders.size(); ++i) {
        const FlatFolder& f = flat.m_flatFolders[i];
        CFolderNode* folder = i == 0 && f.name == "_root_"
                                  ? target
                                  : CreateFolder(level[f.depth - 1], f.name, true);
        level[f.depth] = folder;
        result.added += static_cast<uint32_t>(AddBookmarks(folder, entries[i]));
    }
    return result;
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
    const size_t merged = ReplaceBelowRoot(replacement);
    // Its changes alone read as a deletion.
    NameStep(CDocStep::Kind::MergeBookmarks, merged);
    return merged;
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
