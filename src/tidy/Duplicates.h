#pragma once

#include "UrlKey.h"

#include <cstdint>
#include <string>
#include <vector>

class CKivDoc;
class CFolderNode;
struct CMergeSet;

// Which folders below the root list each bookmark, read in one walk of the tree.
class CPlacements
{
public:
    explicit CPlacements(const CKivDoc& doc);
    uint32_t Count(uint32_t index) const { return m_start[index + 1] - m_start[index]; }
    std::vector<const CFolderNode*> Folders(uint32_t index) const;

private:
    std::vector<uint32_t> m_start; // bookmark i's folders are m_folders[m_start[i]..m_start[i+1])
    std::vector<const CFolderNode*> m_folders;
};

// Bookmarks whose URLs share one key, the one proposed to keep first.
struct CDupeGroup
{
    std::string key;
    std::vector<uint32_t> members; // in the order of the proposal: keep first
};

// Groups of at least two listed bookmarks with one key, biggest first.
std::vector<CDupeGroup> FindDuplicates(const CKivDoc& doc, const CPlacements& placements,
                                       const UrlKeyOptions& options = {});

// Orders members best to keep first: most placements, then https, then the shortest
// URL, then the oldest entry.
void OrderForKeeping(const CKivDoc& doc, const CPlacements& placements,
                     std::vector<uint32_t>& members);

// Merges that only join entries with byte-identical URLs, one per URL.
std::vector<CMergeSet> ExactMergeSets(const CKivDoc& doc, const std::vector<CDupeGroup>& groups);

// "A/B" for a folder below the root; "" for the root itself.
std::string FolderPathText(const CFolderNode* folder);
