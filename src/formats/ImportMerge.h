#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CKivDoc;

// What an import read, in the order its source holds it, before anything reaches the
// document: a reader that reads its whole source first fills one and hands it to
// MergeImport, so a source refused halfway changes nothing.
class CImportTree
{
public:
    struct Entry
    {
        enum Kind : uint8_t {
            openFolder, // `name` opens a folder below the one open now
            closeFolder,
            bookmark,    // url, name (as the source shows it), comment
            lateComment, // a later comment for the last bookmark met (empty: nothing)
        };
        Kind kind;
        std::string url;
        std::string name;
        std::string comment;
    };

    void OpenFolder(std::string name);
    // A close with no folder open is ignored.
    void CloseFolder();
    // A URL shorter than two bytes is refused by the merge; such an entry still ends
    // what a following comment applies to.
    void AddBookmark(std::string url, std::string name, std::string comment = {});
    void CommentLast(std::string comment);

    const std::vector<Entry>& Entries() const { return m_entries; }
    // Bookmark entries with a usable URL.
    size_t BookmarkCount() const { return m_nBookmarks; }
    // Folders and bookmarks held: readers stop at a bound instead of eating memory.
    size_t Size() const { return m_entries.size(); }
    int OpenDepth() const { return m_nOpen; }
    void Clear();

private:
    std::vector<Entry> m_entries;
    size_t m_nBookmarks = 0;
    int m_nOpen = 0;
};

// The most entries (folders and bookmarks) one import may hold; a source beyond it
// is refused whole rather than read into memory without end.
inline constexpr size_t kMaxImportEntries = 4'000'000;

// Hands what was read, in order, to a CImportTarget, whose rules (folders joining a
// sibling of the same name, known URLs, depth, names for unnamed bookmarks, check
// mode) are those of every import; a non-empty comment from the source replaces a
// known bookmark's comment, as an HTML <DD> does.
void MergeImport(CKivDoc& doc, const CImportTree& tree, bool checkMode = false);
