#pragma once

#include "IndexSet.h"
#include "framework/Text.h"
#include <atomic>
#include <cstdint>

#include <memory>
#include <string>
#include <vector>

// One entry of the bookmark table. A bookmark is named everywhere by its index.
struct CBookmark
{
    CText m_strUrl;
    CText m_strName;
    CText m_strComment;
    int32_t m_nRefs = 0;       // ordinary folders listing it (not trash, not check)
    int32_t m_nSaveIndex = -1; // scratch while flattening
};

// One folder: a name, its bookmark indexes in name order, and links into the tree.
// Children form a chain from m_pFirstChild through m_pNext, sorted by name.
class CFolderNode
{
public:
    CFolderNode() = default;
    explicit CFolderNode(std::string name) : m_strName(std::move(name)) {}
    CFolderNode(const CFolderNode&) = delete;
    CFolderNode& operator=(const CFolderNode&) = delete;

    std::string m_strName;
    std::vector<uint32_t> m_aBookmarks;
    // A number no other folder of this run has had: tells a folder from a later one
    // that happens to be placed at a freed folder's address.
    const uint64_t m_nSerial = NextSerial();
    CFolderNode* m_pParent = nullptr;
    CFolderNode* m_pNext = nullptr;
    CFolderNode* m_pFirstChild = nullptr;

private:
    friend class CKivDoc;
    static uint64_t NextSerial()
    {
        static std::atomic<uint64_t> next{0};
        return ++next;
    }
    // The last child, so inserting a name that sorts last needs no walk.
    CFolderNode* m_pLastChild = nullptr;
    // The document's rename count at which m_aBookmarks was last known to be in
    // name order; a bookmark renamed since may have left it unsorted.
    uint64_t m_nSortedEpoch = 0;
    // The rename count at which the list was last found out of order, so it is not
    // looked over again until the next rename.
    uint64_t m_nUnsortedEpoch = 0;
    // The listed indexes, made once a link has to tell whether a long run of equal
    // names holds its index; kept up to date from then on.
    std::unique_ptr<CIndexSet> m_pListed;
};
