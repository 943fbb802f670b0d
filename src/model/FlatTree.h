#pragma once

#include "Bookmark.h"

#include <cstdint>
#include <string>
#include <vector>

class CArchive;

// A bookmark record of the tables is a bookmark entry with no references yet, so a
// loaded table becomes the document's bookmark table as it stands.
using FlatBookmark = CBookmark;

struct FlatFolder
{
    std::string name;
    uint16_t depth = 1; // 1 = child of the tree's top
};

struct FlatLink
{
    uint32_t folder = 0;   // index into m_flatFolders
    uint16_t marker = 1;   // always written as 1, ignored when read
    uint32_t bookmark = 0; // index into m_flatBookmarks
};

// The flattened form of a tree: the body of the document file and of the clipboard
// format. Folders are in pre-order; a folder's links come before its own record.
class CFlatTree
{
public:
    virtual ~CFlatTree() = default;

    // Reads or writes the three tables: count, records; count, records; count, records.
    virtual void Serialize(CArchive& ar);
    void SerializeTables(CArchive& ar);
    // The storing half for the folder and link tables alone (after the bookmarks).
    void StoreFoldersAndLinks(CArchive& ar) const;
    static void StoreBookmark(CArchive& ar, const std::string& url, const std::string& name,
                              const std::string& comment);

    void ClearFlat();
    bool FlatEmpty() const
    {
        return m_flatBookmarks.empty() && m_flatFolders.empty() && m_flatLinks.empty();
    }

    std::vector<FlatBookmark> m_flatBookmarks;
    // NameKey of each record's name when the reader could give them all (the names it
    // reads are valid UTF-8), else empty.
    std::vector<uint64_t> m_flatNameKeys;
    std::vector<FlatFolder> m_flatFolders;
    std::vector<FlatLink> m_flatLinks;
};
