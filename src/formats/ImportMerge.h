#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CKivDoc;

// What an import read, in the order its source holds it, before anything reaches the
// document. Every reader fills one and hands it to MergeImport, so the rules that
// decide what lands where live in one place whatever the format.
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

// Merges what was read into the document, as the HTML bookmark import always has:
// - a folder joins the existing subfolder of the same name (case-insensitive) or is
//   created; folders deeper than a file keeps put their content into the deepest
//   folder that is kept;
// - a URL the document already knows is linked into the folder and keeps its name
//   and comment, and a folder that lists it already is left as it is;
// - a new URL becomes a bookmark with the source's name (leading blanks removed);
// - a non-empty comment from the source replaces the bookmark's comment.
// In check mode every bookmark whose URL the document does not know goes into the
// check folder, nothing else changes and the document is not marked modified.
void MergeImport(CKivDoc& doc, const CImportTree& tree, bool checkMode = false);
