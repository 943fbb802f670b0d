#include "KivDoc.h"

#include "framework/Archive.h"
#include "framework/TextRules.h"

#include <algorithm>
#include <array>
#include <cstring>

using KivText::CompareNoCase;

CKivDoc::CKivDoc()
{
    m_root.m_strName = "_root_";
    ResetFindState();
}

CKivDoc::~CKivDoc()
{
    ++m_nUnrecorded;
    DeleteFolderChain(m_root.m_pFirstChild);
    DeleteFolderChain(m_check.m_pFirstChild);
    DeleteFolderChain(m_trash.m_pFirstChild);
}

// --- bookmarks ---------------------------------------------------------------------

bool CKivDoc::FindOrAppend(const char* url, const char* name, const char* comment, bool checkMode,
                           uint32_t& index)
{
    const int32_t found = FindUrl(url);
    if (found >= 0) {
        if (checkMode)
            return false; // the URL is already known
        index = static_cast<uint32_t>(found);
        return true;
    }
    CBookmark b;
    b.m_strUrl = url;
    b.m_strName = KivText::TrimLeft(name ? name : "");
    b.m_strComment = comment ? comment : "";
    index = static_cast<uint32_t>(m_bookmarks.size());
    m_bookmarks.push_back(std::move(b));
    m_urlIndex.Add(index, m_bookmarks);
    if (CDocStep* step = Recording())
        step->Add(CDocStep::Append{});
    return true;
}

void CKivDoc::BuildUrlIndex()
{
    // Built on the first lookup after a load: opening a file that is only looked at
    // never pays for it.
    m_urlIndex.Reserve(m_bookmarks.size());
    for (uint32_t k = 0; k < m_bookmarks.size(); ++k)
        m_urlIndex.Add(k, m_bookmarks);
    m_bUrlIndexBuilt = true;
}

int32_t CKivDoc::FindUrl(std::string_view url)
{
    if (!m_bUrlIndexBuilt)
        BuildUrlIndex();
    return m_urlIndex.Find(url, m_bookmarks);
}

bool CKivDoc::AddBookmark(const char* url, const char* name, const char* comment,
                          CFolderNode* folder, bool checkMode, uint32_t* outIndex, int* outPos)
{
    if (!url || std::strlen(url) < 2)
        return false;
    uint32_t i;
    if (!FindOrAppend(url, name, comment, checkMode, i))
        return false;
    if (outIndex)
        *outIndex = i;
    if (!LinkBookmark(folder ? folder : &m_root, i, outPos))
        return false;
    if (!checkMode)
        SetModifiedFlag();
    return true;
}

size_t CKivDoc::AddBookmarks(CFolderNode* folder, const std::vector<const CBookmark*>& entries)
{
    std::vector<uint32_t> indexes;
    indexes.reserve(entries.size());
    for (const CBookmark* e : entries) {
        // As AddBookmark sees them: the texts up to a NUL they may hold.
        const char* url = e->m_strUrl.c_str();
        uint32_t i;
        if (std::strlen(url) >= 2
            && FindOrAppend(url, e->m_strName.c_str(), e->m_strComment.c_str(), false, i))
            indexes.push_back(i);
    }
    const size_t added = LinkBookmarks(folder ? folder : &m_root, indexes);
    if (added)
        SetModifiedFlag();
    return added;
}

bool CKivDoc::AddBookmarkAtPath(const char* url, const char* name, std::string_view path,
                                bool checkMode)
{
    if (!url || !*url)
        return false;
    CFolderNode* target = checkMode ? &m_check : WalkPath(path);
    return AddBookmark(url, name, "", target, checkMode, nullptr, nullptr);
}

CFolderNode* CKivDoc::WalkPath(std::string_view path)
{
    CFolderNode* target = &m_root;
    std::string_view rest = path;
    // A file keeps folders only down to kMaxDepth levels; deeper segments would be
    // lost at the next load, so the walk stops there.
    for (int depth = 0; !rest.empty() && depth < kMaxDepth; ++depth) {
        const size_t slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (segment.empty())
            break; // "/" at the start or "//" inside ends the walk here
        target = CreateFolder(target, segment, true);
    }
    return target;
}

bool CKivDoc::LinkBookmark(CFolderNode* folder, uint32_t i, int* outPos)
{
    if (!PlaceInList(folder, i, outPos))
        return false;
    if (folder != &m_trash && folder != &m_check)
        ++m_bookmarks[i].m_nRefs;
    return true;
}

namespace {
// Equal names a link looks over for its index before the folder gets an index set.
constexpr size_t kEqualNamesWalked = 32;
// Below this many items the many-item operations take them one at a time.
constexpr size_t kOneByOne = 8;

// One bit per bookmark of the table.
class CBookmarkBits
{
public:
    explicit CBookmarkBits(size_t count)
        : m_words((count + 63) / 64, 0)
    {}
    // True when i was not set yet.
    bool Set(uint32_t i)
    {
        uint64_t& w = m_words[i >> 6];
        const uint64_t bit = uint64_t(1) << (i & 63);
        const bool was = w & bit;
        w |= bit;
        return !was;
    }
    bool Test(uint32_t i) const { return (m_words[i >> 6] >> (i & 63)) & 1; }

private:
    std::vector<uint64_t> m_words;
};
} // namespace

bool CKivDoc::KnownSorted(CFolderNode* folder)
{
    if (folder->m_nSortedEpoch == m_nRenameEpoch)
        return true;
    if (folder->m_nUnsortedEpoch == m_nRenameEpoch)
        return false;
    const std::vector<uint32_t>& list = folder->m_aBookmarks;
    for (size_t k = 1; k < list.size(); ++k)
        if (CompareNoCase(m_bookmarks[list[k - 1]].m_strName, m_bookmarks[list[k]].m_strName) > 0) {
            folder->m_nUnsortedEpoch = m_nRenameEpoch;
            return false;
        }
    folder->m_nSortedEpoch = m_nRenameEpoch;
    return true;
}

bool CKivDoc::PlaceInList(CFolderNode* folder, uint32_t i, int* outPos)
{
    std::vector<uint32_t>& list = folder->m_aBookmarks;
    if (folder->m_pListed && folder->m_pListed->Contains(i))
        return false;
    const std::string_view name = m_bookmarks[i].m_strName;
    const auto nameAt = [&](size_t k) -> std::string_view {
        return m_bookmarks[list[k]].m_strName;
    };
    size_t pos;
    if (KnownSorted(folder)) {
        // The list is in name order, so the backward scan's stopping place is the
        // upper bound of the name, and the index can only sit among equal names
        // just before it. New names usually sort last (loading, imports): one compare.
        const size_t n = list.size();
        const int last = n == 0 ? 1 : CompareNoCase(name, nameAt(n - 1));
        pos = n;
        if (last < 0) {
            size_t lo = 0, hi = n - 1;
            while (lo < hi) {
                const size_t mid = lo + (hi - lo) / 2;
                if (CompareNoCase(nameAt(mid), name) <= 0)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            pos = lo;
        }
        if (last <= 0 && !folder->m_pListed) {
            for (size_t k = pos, walked = 0; k > 0; --k, ++walked) {
                if (walked == kEqualNamesWalked) {
                    // A long run of equal names: from now on the folder's index set
                    // answers, in one step however long the run grows.
                    folder->m_pListed = std::make_unique<CIndexSet>(n);
                    for (uint32_t listed : list)
                        folder->m_pListed->Insert(listed);
                    if (folder->m_pListed->Contains(i))
                        return false;
                    break;
                }
                const bool knownEqual = last == 0 && k == n;
                if (!knownEqual && CompareNoCase(nameAt(k - 1), name) != 0)
                    break;
                if (list[k - 1] == i)
                    return false;
            }
        }
    } else {
        if (!folder->m_pListed)
            for (size_t k = list.size(); k > 0; --k)
                if (list[k - 1] == i)
                    return false;
        pos = 0;
        for (size_t k = list.size(); k > 0; --k)
            if (CompareNoCase(nameAt(k - 1), name) <= 0) {
                pos = k;
                break;
            }
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), i);
    if (folder->m_pListed)
        folder->m_pListed->Insert(i);
    if (CDocStep* step = Recording())
        step->Add(CDocStep::Splice{folder, {static_cast<uint32_t>(pos)}, {i}, true, PlaceOf(folder)});
    if (outPos)
        *outPos = static_cast<int>(pos);
    return true;
}

void CKivDoc::UnlinkBookmark(CFolderNode* folder, uint32_t i)
{
    std::vector<uint32_t>& list = folder->m_aBookmarks;
    if (folder->m_pListed && !folder->m_pListed->Erase(i))
        return;
    auto it = std::find(list.begin(), list.end(), i);
    if (it == list.end())
        return;
    if (CDocStep* step = Recording())
        step->Add(CDocStep::Splice{folder, {static_cast<uint32_t>(it - list.begin())}, {i}, false,
                                   PlaceOf(folder)});
    list.erase(it);
    if (folder != &m_trash && folder != &m_check)
        --m_bookmarks[i].m_nRefs;
}

void CKivDoc::UnlinkAllBookmarks(CFolderNode* folder)
{
    if (CDocStep* step = folder->m_aBookmarks.empty() ? nullptr : Recording()) {
        std::vector<uint32_t> positions(folder->m_aBookmarks.size());
        for (size_t k = 0; k < positions.size(); ++k)
            positions[k] = static_cast<uint32_t>(k);
        step->Add(CDocStep::Splice{folder, std::move(positions), folder->m_aBookmarks, false,
                                   PlaceOf(folder)});
    }
    if (folder != &m_trash && folder != &m_check)
        for (uint32_t i : folder->m_aBookmarks)
            --m_bookmarks[i].m_nRefs;
    folder->m_aBookmarks.clear();
    folder->m_aBookmarks.shrink_to_fit();
    folder->m_pListed.reset();
    folder->m_nSortedEpoch = m_nRenameEpoch;
}

size_t CKivDoc::LinkBookmarks(CFolderNode* folder, const std::vector<uint32_t>& indexes)
{
    return LinkMany(folder, indexes, false);
}

size_t CKivDoc::LinkMany(CFolderNode* folder, const std::vector<uint32_t>& indexes,
                         bool inNameOrder)
{
    if (indexes.size() < kOneByOne) {
        size_t linked = 0;
        for (uint32_t i : indexes)
            linked += LinkBookmark(folder, i);
        return linked;
    }
    std::vector<uint32_t>& list = folder->m_aBookmarks;
    // The indexes the folder does not list yet, each once, in the order given.
    CBookmarkBits seen(m_bookmarks.size());
    if (!folder->m_pListed)
        for (uint32_t i : list)
            seen.Set(i);
    std::vector<uint32_t> added;
    for (uint32_t i : indexes)
        if ((!folder->m_pListed || !folder->m_pListed->Contains(i)) && seen.Set(i))
            added.push_back(i);
    if (added.empty())
        return 0;

    // One after the other, each new index goes after the last entry whose name is
    // not above its own. Among the entries listed before, that is the last place p
    // where the smallest name from p on is not above it; the new ones that share a
    // place end up there in name order, equal names in the order given. So: sort
    // them stably, find each one's place in one sweep, and merge.
    const auto nameOf = [this](uint32_t i) -> std::string_view { return m_bookmarks[i].m_strName; };
    if (!inNameOrder)
        KivText::StableSortNoCase(added, nameOf);
    const size_t n = list.size();
    const bool sorted = KnownSorted(folder);
    std::vector<uint32_t> smallestFrom; // positions; needed only when out of order
    if (!sorted) {
        smallestFrom.resize(n);
        for (size_t k = n; k-- > 0;)
            smallestFrom[k]
                = k + 1 < n && CompareNoCase(nameOf(list[smallestFrom[k + 1]]), nameOf(list[k])) < 0
                      ? smallestFrom[k + 1]
                      : static_cast<uint32_t>(k);
    }
    const auto notAbove = [&](size_t p, std::string_view name) {
        return CompareNoCase(nameOf(list[sorted ? p : smallestFrom[p]]), name) <= 0;
    };
    // places[a]: how many of the old entries come before added[a].
    std::vector<uint32_t> places(added.size());
    size_t p = 0;
    for (size_t a = 0; a < added.size(); ++a) {
        const std::string_view name = nameOf(added[a]);
        if (p < n && notAbove(p, name)) {
            // Galloping from the last place: many new names share a place or lie
            // close together.
            size_t lo = p, step = 1, hi = p + 1;
            while (hi < n && notAbove(hi, name)) {
                lo = hi;
                step *= 2;
                hi = lo + step;
            }
            hi = std::min(hi, n);
            while (hi - lo > 1) {
                const size_t mid = lo + (hi - lo) / 2;
                (notAbove(mid, name) ? lo : hi) = mid;
            }
            p = hi;
        }
        places[a] = static_cast<uint32_t>(p);
    }
    // Merged from the back, in place.
    list.resize(n + added.size());
    size_t read = n, write = list.size();
    for (size_t a = added.size(); a-- > 0;) {
        while (read > places[a])
            list[--write] = list[--read];
        list[--write] = added[a];
        places[a] = static_cast<uint32_t>(write); // now its place in the merged list
    }
    if (CDocStep* step = Recording())
        step->Add(CDocStep::Splice{folder, std::move(places), added, true, PlaceOf(folder)});
    const bool counted = folder != &m_trash && folder != &m_check;
    for (uint32_t i : added) {
        if (counted)
            ++m_bookmarks[i].m_nRefs;
        if (folder->m_pListed)
            folder->m_pListed->Insert(i);
    }
    return added.size();
}

size_t CKivDoc::UnlinkBookmarks(CFolderNode* folder, const std::vector<uint32_t>& indexes)
{
    std::vector<uint32_t>& list = folder->m_aBookmarks;
    const size_t n = list.size();
    if (indexes.size() < kOneByOne) {
        for (uint32_t i : indexes)
            UnlinkBookmark(folder, i);
        return n - list.size();
    }
    CBookmarkBits gone(m_bookmarks.size());
    for (uint32_t i : indexes)
        gone.Set(i);
    const bool counted = folder != &m_trash && folder != &m_check;
    CDocStep* step = Recording();
    std::vector<uint32_t> positions, removed;
    size_t kept = 0;
    for (size_t k = 0; k < n; ++k) {
        const uint32_t i = list[k];
        if (!gone.Test(i)) {
            list[kept++] = i;
            continue;
        }
        if (step) {
            positions.push_back(static_cast<uint32_t>(k));
            removed.push_back(i);
        }
        if (counted)
            --m_bookmarks[i].m_nRefs;
        if (folder->m_pListed)
            folder->m_pListed->Erase(i);
    }
    list.resize(kept);
    if (step && !removed.empty())
        step->Add(CDocStep::Splice{folder, std::move(positions), std::move(removed), false,
                                   PlaceOf(folder)});
    if (kept == 0) {
        list.shrink_to_fit();
        folder->m_pListed.reset();
        folder->m_nSortedEpoch = m_nRenameEpoch;
    }
    return n - kept;
}

void CKivDoc::MoveBookmarks(CFolderNode* from, CFolderNode* to,
                            const std::vector<uint32_t>& indexes, bool copy)
{
    // Linking into one folder and unlinking from another do not affect each other,
    // so all the links can go before all the unlinks. Rows taken in list order from a
    // folder in name order are in name order already (the usual case: a selection).
    size_t k = 0;
    for (size_t p = 0; p < from->m_aBookmarks.size() && k < indexes.size(); ++p)
        k += from->m_aBookmarks[p] == indexes[k];
    LinkMany(to, indexes, k == indexes.size() && KnownSorted(from));
    if (!copy)
        UnlinkBookmarks(from, indexes);
}

void CKivDoc::SetBookmarkName(uint32_t i, std::string name)
{
    if (m_bookmarks[i].m_strName == name)
        return;
    if (CDocStep* step = Recording())
        step->Add(CDocStep::Field{i, 0, std::string(std::string_view(m_bookmarks[i].m_strName))});
    m_bookmarks[i].m_strName = std::move(name);
    // Every folder listing it may now be out of order: they fall back to the
    // plain scans until they are emptied.
    ++m_nRenameEpoch;
}

void CKivDoc::SetBookmarkUrl(uint32_t i, std::string url)
{
    if (m_bookmarks[i].m_strUrl == url)
        return;
    if (CDocStep* step = Recording())
        step->Add(CDocStep::Field{i, 1, std::string(std::string_view(m_bookmarks[i].m_strUrl))});
    CText old = std::move(m_bookmarks[i].m_strUrl);
    m_bookmarks[i].m_strUrl = std::move(url);
    if (m_bUrlIndexBuilt)
        m_urlIndex.Changed(i, old, m_bookmarks);
}

void CKivDoc::SetBookmarkComment(uint32_t i, std::string comment)
{
    if (m_bookmarks[i].m_strComment == comment)
        return;
    if (CDocStep* step = Recording())
        step->Add(CDocStep::Field{i, 2, std::string(std::string_view(m_bookmarks[i].m_strComment))});
    m_bookmarks[i].m_strComment = std::move(comment);
}

// --- folders -----------------------------------------------------------------------

CFolderNode* CKivDoc::CreateFolder(CFolderNode* parent, std::string_view name, bool findExisting)
{
    if (findExisting)
        for (CFolderNode* c = parent->m_pFirstChild; c; c = c->m_pNext)
            if (CompareNoCase(c->m_strName, name) == 0)
                return c;
    auto node = std::make_unique<CFolderNode>(std::string(name));
    node->m_nSortedEpoch = m_nRenameEpoch;
    if (CDocStep* step = Recording())
        step->Add(CDocStep::FolderLife{node.get(), true});
    return InsertFolder(parent, std::move(node), nullptr);
}

CFolderNode* CKivDoc::InsertFolder(CFolderNode* parent, std::unique_ptr<CFolderNode> owned,
                                   CFolderNode** outPrev)
{
    if (!parent)
        parent = &m_root;
    CFolderNode* node = owned.release(); // the parent's chain owns it from here
    node->m_pParent = parent;
    node->m_pNext = nullptr;
    CFolderNode* prev = nullptr;
    if (!parent->m_pFirstChild) {
        parent->m_pFirstChild = parent->m_pLastChild = node;
    } else if (CompareNoCase(node->m_strName, parent->m_pLastChild->m_strName) >= 0) {
        // The chain is sorted: a name not below the last one goes at the end.
        prev = parent->m_pLastChild;
        prev->m_pNext = node;
        parent->m_pLastChild = node;
    } else {
        CFolderNode* s = parent->m_pFirstChild;
        while (s && CompareNoCase(node->m_strName, s->m_strName) >= 0) {
            prev = s;
            s = s->m_pNext;
        }
        node->m_pNext = s;
        if (prev)
            prev->m_pNext = node;
        else
            parent->m_pFirstChild = node;
        if (!s)
            parent->m_pLastChild = node;
    }
    if (outPrev)
        *outPrev = prev;
    if (CDocStep* step = Recording())
        step->Add(CDocStep::FolderLink{node, parent, prev, true});
    SetModifiedFlag();
    return node;
}

std::unique_ptr<CFolderNode> CKivDoc::DetachFolder(CFolderNode* node)
{
    CFolderNode* parent = node ? node->m_pParent : nullptr;
    if (!parent || IsBuiltIn(node))
        return nullptr;
    if (parent->m_pFirstChild == node) {
        if (CDocStep* step = Recording())
            step->Add(CDocStep::FolderLink{node, parent, nullptr, false});
        parent->m_pFirstChild = node->m_pNext;
        if (parent->m_pLastChild == node)
            parent->m_pLastChild = nullptr;
    } else {
        CFolderNode* s = parent->m_pFirstChild;
        while (s && s->m_pNext != node)
            s = s->m_pNext;
        if (!s)
            return nullptr; // not in its parent's chain: not ours to hand over
        if (CDocStep* step = Recording())
            step->Add(CDocStep::FolderLink{node, parent, s, false});
        s->m_pNext = node->m_pNext;
        if (parent->m_pLastChild == node)
            parent->m_pLastChild = s;
    }
    node->m_pNext = nullptr;
    return std::unique_ptr<CFolderNode>(node);
}

void CKivDoc::DeleteFolder(CFolderNode* node)
{
    if (!node || IsBuiltIn(node))
        return;
    std::unique_ptr<CFolderNode> owned = DetachFolder(node);
    // The subtree goes with it.
    if (node->m_pFirstChild)
        DeleteFolderChain(node->m_pFirstChild);
    UnlinkAllBookmarks(node);
    if (!owned) {
        delete node; // never in a chain (a load's half-made folder)
    } else if (CDocStep* step = Recording()) {
        step->Add(CDocStep::FolderLife{node, false});
        owned.release(); // the step keeps it for undo
    }
}

void CKivDoc::DeleteFolderChain(CFolderNode* first)
{
    for (CFolderNode* p = first; p;) {
        DeleteFolderChain(p->m_pFirstChild);
        CFolderNode* next = p->m_pNext;
        DeleteFolder(p);
        p = next;
    }
}

void CKivDoc::TrashFolderBookmarks(CFolderNode* folder)
{
    if (folder == &m_trash || folder == &m_check)
        return;
    const std::vector<uint32_t>& list = folder->m_aBookmarks;
    LinkBookmarks(&m_trash, std::vector<uint32_t>(list.rbegin(), list.rend()));
}

void CKivDoc::TrashChainBookmarks(CFolderNode* first)
{
    for (CFolderNode* p = first; p; p = p->m_pNext) {
        TrashFolderBookmarks(p);
        TrashChainBookmarks(p->m_pFirstChild);
    }
}

int CKivDoc::FolderDepth(const CFolderNode* folder)
{
    int depth = 0;
    for (const CFolderNode* f = folder; f && f->m_pParent; f = f->m_pParent)
        ++depth;
    return depth;
}

void CKivDoc::CountTree(uint32_t* folders, uint64_t* links) const
{
    uint32_t f = 0;
    uint64_t l = 0;
    std::vector<const CFolderNode*> stack;
    for (const CFolderNode* c = m_root.m_pFirstChild; c; c = c->m_pNext)
        stack.push_back(c);
    while (!stack.empty()) {
        const CFolderNode* p = stack.back();
        stack.pop_back();
        ++f;
        l += p->m_aBookmarks.size();
        for (const CFolderNode* c = p->m_pFirstChild; c; c = c->m_pNext)
            stack.push_back(c);
    }
    *folders = f;
    *links = l;
}

// --- flattening --------------------------------------------------------------------

void CKivDoc::FlattenFolder(CFlatTree& flat, CFolderNode* p, int depth, bool appendBookmarks)
{
    const auto folderIndex = static_cast<uint32_t>(flat.m_flatFolders.size());
    for (uint32_t i : p->m_aBookmarks) {
        CBookmark& b = m_bookmarks[i];
        if (b.m_nSaveIndex < 0) {
            if (!appendBookmarks)
                continue;
            b.m_nSaveIndex = static_cast<int32_t>(flat.m_flatBookmarks.size());
            flat.m_flatBookmarks.push_back({b.m_strUrl, b.m_strName, b.m_strComment});
        }
        flat.m_flatLinks.push_back({folderIndex, 1, static_cast<uint32_t>(b.m_nSaveIndex)});
    }
    flat.m_flatFolders.push_back({p->m_strName, static_cast<uint16_t>(depth)});
    for (CFolderNode* c = p->m_pFirstChild; c; c = c->m_pNext)
        FlattenFolder(flat, c, depth + 1, appendBookmarks);
}

void CKivDoc::FlattenSubtree(CFlatTree& flat, CFolderNode* folder, int depth, bool single)
{
    if (single) {
        for (CBookmark& b : m_bookmarks)
            b.m_nSaveIndex = -1;
        FlattenFolder(flat, folder, depth, true);
        return;
    }
    for (CFolderNode* p = folder; p; p = p->m_pNext)
        FlattenFolder(flat, p, depth, true);
}

bool CKivDoc::FlattenForSave()
{
    size_t saved = 0;
    for (CBookmark& b : m_bookmarks)
        saved += b.m_nRefs >= 1;
    m_flatBookmarks.reserve(saved);
    for (CBookmark& b : m_bookmarks) {
        if (b.m_nRefs >= 1) {
            b.m_nSaveIndex = static_cast<int32_t>(m_flatBookmarks.size());
            m_flatBookmarks.push_back({b.m_strUrl, b.m_strName, b.m_strComment});
        } else {
            b.m_nSaveIndex = -1;
        }
    }
    for (CFolderNode* p = m_root.m_pFirstChild; p; p = p->m_pNext)
        FlattenFolder(*this, p, 1, false);
    return true;
}

void CKivDoc::ResetFolder(CFolderNode& f)
{
    f.m_pParent = f.m_pNext = f.m_pFirstChild = f.m_pLastChild = nullptr;
    f.m_aBookmarks.clear();
    f.m_aBookmarks.shrink_to_fit();
    f.m_pListed.reset();
    f.m_nSortedEpoch = m_nRenameEpoch;
}

bool CKivDoc::RebuildFromFlat()
{
    LoseHistory();
    ++m_nUnrecorded;
    struct Recorded
    {
        int& n;
        ~Recorded() { --n; }
    } recordedAgain{m_nUnrecorded};
    DeleteFolderChain(m_root.m_pFirstChild);
    DeleteFolderChain(m_trash.m_pFirstChild);
    DeleteFolderChain(m_check.m_pFirstChild);
    ResetFolder(m_root);
    ResetFolder(m_trash);
    ResetFolder(m_check);
    m_bookmarks.clear();
    m_urlIndex.Clear();

    // The records were read as bookmark entries: bookmark k of the file becomes
    // index k, with no references yet.
    m_bookmarks = std::move(m_flatBookmarks);
    m_flatBookmarks.clear();
    const auto bookmarkCount = static_cast<uint32_t>(m_bookmarks.size());
    m_bUrlIndexBuilt = bookmarkCount == 0;

    // Links bucketed by folder in one pass, keeping their order within a folder.
    // Links naming a folder record that does not exist, or a bookmark record that
    // does not exist, are never followed.
    const auto folderCount = static_cast<uint32_t>(m_flatFolders.size());
    std::vector<uint32_t> start(size_t(folderCount) + 1, 0);
    for (const FlatLink& l : m_flatLinks)
        if (l.folder < folderCount && l.bookmark < bookmarkCount)
            ++start[l.folder + 1];
    for (uint32_t j = 0; j < folderCount; ++j)
        start[j + 1] += start[j];
    std::vector<uint32_t> linked(start[folderCount]);
    {
        std::vector<uint32_t> fill(start.begin(), start.end() - 1);
        for (const FlatLink& l : m_flatLinks)
            if (l.folder < folderCount && l.bookmark < bookmarkCount)
                linked[fill[l.folder]++] = l.bookmark;
    }

    // In the C locale a number per name (its first fold units) settles nearly every
    // comparison a load makes, from a table small enough to stay in the cache,
    // instead of from records all over the bookmark table.
    std::vector<uint64_t> keys;
    if (KivText::NameKeysOrder() && m_flatNameKeys.size() == bookmarkCount)
        keys = std::move(m_flatNameKeys);
    // References are counted in a table of their own for the same reason, beside
    // the folder record that last listed each bookmark: links are taken folder by
    // folder, so a second link of a bookmark into the same folder is seen there at
    // once, however many equal names the folder holds.
    struct Listing
    {
        int32_t refs = 0;
        uint32_t lastFolder = UINT32_MAX;
    };
    std::vector<Listing> listing(bookmarkCount);
    // Without keys, the records and names a few links ahead are asked for early, so
    // that the memory waits do not add up one after the other.
    const CBookmark* const records = m_bookmarks.data(); // linking adds no records
    const auto nameOf = [this](uint32_t i) -> std::string_view { return m_bookmarks[i].m_strName; };

    // The last folder created at each depth. A record whose depth is 0, above the
    // limit, or one level below an empty level is skipped with everything nested
    // under it.
    std::array<CFolderNode*, kMaxDepth + 1> level{};
    level[0] = &m_root;
    std::vector<CFolderNode*> unsortedParents;
    bool created = false;
    for (uint32_t j = 0; j < folderCount; ++j) {
        const FlatFolder& ff = m_flatFolders[j];
        const int depth = ff.depth;
        if (depth < 1 || depth > kMaxDepth || !level[depth - 1]) {
            if (depth >= 1 && depth <= kMaxDepth)
                std::fill(level.begin() + depth, level.end(), nullptr);
            continue;
        }
        // At the end of its parent's chain, in file order; a chain that is not in name
        // order is sorted once below. Inserting one by one keeps a chain sorted with
        // equal names in arrival order, which a stable sort gives too, without a walk
        // over the siblings per folder (a long one when the file was saved under
        // another collation).
        CFolderNode* const parent = level[depth - 1];
        auto* folder = new CFolderNode(ff.name); // the parent's chain owns it
        folder->m_nSortedEpoch = m_nRenameEpoch;
        folder->m_pParent = parent;
        if (!parent->m_pFirstChild) {
            parent->m_pFirstChild = folder;
        } else {
            if (CompareNoCase(ff.name, parent->m_pLastChild->m_strName) < 0)
                unsortedParents.push_back(parent);
            parent->m_pLastChild->m_pNext = folder;
        }
        parent->m_pLastChild = folder;
        created = true;
        level[depth] = folder;
        std::vector<uint32_t>& list = folder->m_aBookmarks;
        list.reserve(start[j + 1] - start[j]);
        // Linking one by one into a new folder keeps the first link of each bookmark
        // and sorts stably by name: the links in file order, repeats dropped, are
        // sorted at the end when they were not in order already.
        bool inOrder = true;
        for (uint32_t k = start[j]; k < start[j + 1]; ++k) {
            const uint32_t i = linked[k];
            if (k + 16 < linked.size()) {
                __builtin_prefetch(&listing[linked[k + 16]], 1);
                if (!keys.empty())
                    __builtin_prefetch(&keys[linked[k + 16]]);
                // Names that share a key (or every name, without keys) are compared.
                if (keys.empty() || keys[linked[k + 8]] == keys[i])
                    __builtin_prefetch(&records[linked[k + 16]].m_strName);
            }
            if (k + 8 < linked.size() && (keys.empty() || keys[linked[k + 8]] == keys[i]))
                __builtin_prefetch(records[linked[k + 8]].m_strName.data());
            Listing& l = listing[i];
            if (l.lastFolder == j)
                continue;
            l.lastFolder = j;
            ++l.refs;
            if (inOrder && !list.empty()) {
                const uint32_t last = list.back();
                if (!keys.empty() && keys[i] != keys[last])
                    inOrder = keys[i] > keys[last];
                else
                    inOrder = CompareNoCase(nameOf(i), nameOf(last)) >= 0;
            }
            list.push_back(i);
        }
        if (!inOrder) {
            if (!keys.empty())
                KivText::StableSortNoCase(list, nameOf, [&keys](uint32_t i) { return keys[i]; });
            else
                KivText::StableSortNoCase(list, nameOf);
        }
    }
    std::sort(unsortedParents.begin(), unsortedParents.end());
    unsortedParents.erase(std::unique(unsortedParents.begin(), unsortedParents.end()),
                          unsortedParents.end());
    for (CFolderNode* parent : unsortedParents) {
        std::vector<CFolderNode*> children;
        for (CFolderNode* c = parent->m_pFirstChild; c; c = c->m_pNext)
            children.push_back(c);
        std::vector<uint32_t> order(children.size());
        for (uint32_t k = 0; k < order.size(); ++k)
            order[k] = k;
        KivText::StableSortNoCase(
            order, [&](uint32_t k) -> std::string_view { return children[k]->m_strName; });
        parent->m_pFirstChild = children[order.front()];
        for (size_t k = 0; k + 1 < order.size(); ++k)
            children[order[k]]->m_pNext = children[order[k + 1]];
        parent->m_pLastChild = children[order.back()];
        parent->m_pLastChild->m_pNext = nullptr;
    }
    if (created)
        SetModifiedFlag(); // as creating the folders one by one does

    // Linking the unlisted bookmarks one by one into the empty root, in index order,
    // gives them in name order with equal names by index: a stable sort, without
    // moving the list around once per bookmark.
    std::vector<uint32_t>& rootList = m_root.m_aBookmarks;
    for (uint32_t i = 0; i < bookmarkCount; ++i) {
        m_bookmarks[i].m_nRefs = listing[i].refs;
        if (listing[i].refs == 0)
            rootList.push_back(i);
    }
    listing = {};
    if (!keys.empty())
        KivText::StableSortNoCase(rootList, nameOf, [&keys](uint32_t i) { return keys[i]; });
    else
        KivText::StableSortNoCase(rootList, nameOf);
    for (uint32_t i : rootList)
        ++m_bookmarks[i].m_nRefs;

    // The tables have served their purpose; the tree holds the data now.
    ClearFlat();
    return true;
}

// --- the document ------------------------------------------------------------------

void CKivDoc::Serialize(CArchive& ar)
{
    ClearFlat();
    if (ar.IsStoring()) {
        // What FlattenForSave and the table writer do, except that the bookmark
        // records go out straight from the table instead of through copies of
        // every string.
        uint32_t saved = 0;
        for (CBookmark& b : m_bookmarks)
            b.m_nSaveIndex = b.m_nRefs >= 1 ? static_cast<int32_t>(saved++) : -1;
        for (CFolderNode* p = m_root.m_pFirstChild; p; p = p->m_pNext)
            FlattenFolder(*this, p, 1, false);
        ar.WriteU32(kMagic);
        ar.WriteU32(kVersion);
        ar.WriteU32(saved);
        for (const CBookmark& b : m_bookmarks)
            if (b.m_nRefs >= 1)
                StoreBookmark(ar, b.m_strUrl, b.m_strName, b.m_strComment);
        StoreFoldersAndLinks(ar);
        ClearFlat();
        return;
    }
    if (ar.ReadU32() != kMagic)
        return;
    if (ar.ReadU32() != kVersion)
        return;
    SerializeTables(ar);
    RebuildFromFlat();
}

CFileError::Cause CKivDoc::CheckFileHeader(std::string_view head) const
{
    const auto u32At = [head](size_t at) {
        const auto* p = reinterpret_cast<const unsigned char*>(head.data() + at);
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    };
    // A header cut short is a truncated file, which the reader reports as such.
    if (head.size() < 4)
        return CFileError::none;
    if (u32At(0) != kMagic)
        return CFileError::notOurFormat;
    if (head.size() < 8)
        return CFileError::none;
    const uint32_t version = u32At(4);
    if (version > kVersion)
        return CFileError::newerFormat;
    return version == kVersion ? CFileError::none : CFileError::notOurFormat;
}

void CKivDoc::ResetFindState()
{
    m_strFindText.clear();
    m_nFindPos = 0;
    m_bFindFromTop = true;
}

void CKivDoc::DeleteContents()
{
    LoseHistory();
    ++m_nUnrecorded;
    DeleteFolderChain(m_root.m_pFirstChild);
    DeleteFolderChain(m_check.m_pFirstChild);
    DeleteFolderChain(m_trash.m_pFirstChild);
    ResetFolder(m_root);
    ResetFolder(m_check);
    ResetFolder(m_trash);
    m_bookmarks.clear();
    m_bookmarks.shrink_to_fit();
    m_urlIndex.Clear();
    m_bUrlIndexBuilt = true;
    // A load that failed midway leaves partial tables behind; they go with the rest.
    ClearFlat();
    m_pCurFolder = nullptr;
    ResetFindState();
    --m_nUnrecorded;
}

bool CKivDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return false;
    RegisterActive();
    return true;
}

bool CKivDoc::OnOpenDocument(const QString& path)
{
    if (!CDocument::OnOpenDocument(path))
        return false;
    RegisterActive();
    return true;
}

// --- the change history ------------------------------------------------------------

void CKivDoc::BeginStep(unsigned command)
{
    if (m_nStepDepth++ == 0 && m_onStep) {
        m_pStep = std::make_unique<CDocStep>();
        m_pStep->m_nCommand = command;
        m_pStep->m_pFolderBefore = m_pCurFolder;
    }
}

void CKivDoc::EndStep()
{
    if (m_nStepDepth == 0 || --m_nStepDepth > 0)
        return;
    m_bSkipStep = false;
    std::unique_ptr<CDocStep> step = std::move(m_pStep);
    if (!step || step->Empty() || !m_onStep)
        return;
    step->m_pFolderAfter = m_pCurFolder;
    m_onStep(std::move(step));
}

CDocStep* CKivDoc::Recording()
{
    if (m_nUnrecorded || m_bSkipStep || !m_onStep)
        return nullptr;
    if (!m_pStep) {
        // A change nobody opened a step for still becomes one.
        const bool opened = m_nStepDepth == 0;
        if (opened)
            ++m_nStepDepth;
        m_pStep = std::make_unique<CDocStep>();
        m_pStep->m_pFolderBefore = m_pCurFolder;
        if (opened && m_onStepOpened)
            m_onStepOpened();
    }
    return m_pStep.get();
}

void CKivDoc::NameStep(CDocStep::Kind kind, size_t count)
{
    if (!m_pStep || count == 0)
        return;
    if (m_pStep->m_said != kind)
        m_pStep->m_nSaidCount = 0;
    m_pStep->m_said = kind;
    m_pStep->m_nSaidCount += count;
}

void CKivDoc::LoseHistory()
{
    m_pStep.reset();
    // The rest of a step open now belongs to the new contents, not to a change.
    m_bSkipStep = m_nStepDepth > 0;
    if (m_onHistoryLost)
        m_onHistoryLost();
}

void CKivDoc::UndoStep(CDocStep& step) { Replay(step, true); }

void CKivDoc::RedoStep(CDocStep& step) { Replay(step, false); }

void CKivDoc::ReplaySplice(CDocStep::Splice& s, bool insert)
{
    CFolderNode* folder = s.folder;
    std::vector<uint32_t>& list = folder->m_aBookmarks;
    const size_t k = s.positions.size();
    if (insert) {
        const size_t n = list.size();
        list.resize(n + k);
        size_t read = n, write = n + k;
        for (size_t a = k; a-- > 0;) {
            while (write - 1 > s.positions[a])
                list[--write] = list[--read];
            list[--write] = s.indexes[a];
        }
    } else {
        size_t a = 0, kept = 0;
        for (size_t p = 0; p < list.size(); ++p) {
            if (a < k && s.positions[a] == p) {
                ++a;
                continue;
            }
            list[kept++] = list[p];
        }
        list.resize(kept);
    }
    const int delta = insert ? 1 : -1;
    for (uint32_t i : s.indexes) {
        if (s.place == 0)
            m_bookmarks[i].m_nRefs += delta;
        if (folder->m_pListed && insert)
            folder->m_pListed->Insert(i);
        else if (folder->m_pListed)
            folder->m_pListed->Erase(i);
    }
    // The list is what it was, but whether it is in name order is looked at again.
    folder->m_nSortedEpoch = 0;
    folder->m_nUnsortedEpoch = 0;
}

void CKivDoc::ReplayFolderLink(const CDocStep::FolderLink& l, bool link)
{
    CFolderNode* node = l.node;
    CFolderNode* parent = l.parent;
    if (link) {
        node->m_pParent = parent;
        CFolderNode*& before = l.prev ? l.prev->m_pNext : parent->m_pFirstChild;
        node->m_pNext = before;
        before = node;
        if (!node->m_pNext)
            parent->m_pLastChild = node;
        return;
    }
    (l.prev ? l.prev->m_pNext : parent->m_pFirstChild) = node->m_pNext;
    if (parent->m_pLastChild == node)
        parent->m_pLastChild = l.prev;
    node->m_pNext = nullptr;
}

void CKivDoc::Replay(CDocStep& step, bool undo)
{
    ++m_nUnrecorded;
    const auto replay = [this, undo](CDocStep::Entry& entry) {
        if (auto* s = std::get_if<CDocStep::Splice>(&entry)) {
            ReplaySplice(*s, s->inserted != undo);
        } else if (auto* a = std::get_if<CDocStep::Append>(&entry)) {
            if (undo) {
                const auto last = static_cast<uint32_t>(m_bookmarks.size() - 1);
                if (m_bUrlIndexBuilt)
                    m_urlIndex.RemoveLast(last, m_bookmarks[last].m_strUrl);
                a->saved = std::move(m_bookmarks.back());
                m_bookmarks.pop_back();
            } else {
                m_bookmarks.push_back(std::move(a->saved));
                a->saved = CBookmark();
                if (m_bUrlIndexBuilt)
                    m_urlIndex.Add(static_cast<uint32_t>(m_bookmarks.size() - 1), m_bookmarks);
            }
        } else if (auto* f = std::get_if<CDocStep::Field>(&entry)) {
            const CBookmark& b = m_bookmarks[f->index];
            std::string now(f->which == 0 ? b.m_strName : f->which == 1 ? b.m_strUrl : b.m_strComment);
            if (f->which == 0)
                SetBookmarkName(f->index, std::move(f->other));
            else if (f->which == 1)
                SetBookmarkUrl(f->index, std::move(f->other));
            else
                SetBookmarkComment(f->index, std::move(f->other));
            f->other = std::move(now);
        } else if (auto* l = std::get_if<CDocStep::FolderLink>(&entry)) {
            ReplayFolderLink(*l, l->linked != undo);
        } else if (auto* n = std::get_if<CDocStep::FolderName>(&entry)) {
            std::swap(n->node->m_strName, n->other);
        }
    };
    if (undo)
        for (auto it = step.m_entries.rbegin(); it != step.m_entries.rend(); ++it)
            replay(*it);
    else
        for (CDocStep::Entry& entry : step.m_entries)
            replay(entry);
    step.m_bDone = !undo;
    m_pCurFolder = undo ? step.m_pFolderBefore : step.m_pFolderAfter;
    --m_nUnrecorded;
}
