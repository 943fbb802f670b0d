#pragma once

#include "Bookmark.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

class CKivDoc;

// One user action's changes to the document, as the document's own primitives
// made them: each entry knows how to take its change back and how to make it
// again, so a step costs memory and time in proportion to what it changed.
// Steps are replayed strictly in order (undo from the newest, redo from the
// oldest undone), so every entry meets exactly the state it was recorded in.
class CDocStep
{
public:
    // What a step did, for the name the Edit menu gives it.
    enum class Kind {
        Change,
        AddBookmarks,
        DeleteBookmarks,
        MoveBookmarks,
        CopyBookmarks,
        EditBookmark,
        NewFolder,
        RenameFolder,
        MoveFolder,
        DeleteFolder,
        Compare,
        MergeBookmarks,
        CopyToCheck,
        UpdateUrls,
    };

    CDocStep() = default;
    ~CDocStep();
    CDocStep(const CDocStep&) = delete;
    CDocStep& operator=(const CDocStep&) = delete;

    bool Empty() const { return m_entries.empty(); }
    // Roughly what the step keeps in memory.
    size_t Bytes() const { return m_nBytes; }
    bool IsDone() const { return m_bDone; }
    Kind GetKind() const;
    // The number the name counts (bookmarks moved, added, deleted...).
    size_t Count() const;

    unsigned m_nCommand = 0; // the command that made it; 0 for other actions
    CFolderNode* m_pFolderBefore = nullptr; // the current folder before and after
    CFolderNode* m_pFolderAfter = nullptr;

private:
    friend class CKivDoc;

    // Indexes entered into (inserted) or taken out of a folder's list, at the
    // positions they have in the longer of the two lists, ascending.
    struct Splice
    {
        CFolderNode* folder;
        std::vector<uint32_t> positions;
        std::vector<uint32_t> indexes;
        bool inserted;
        int place; // 0 an ordinary folder, 1 the trash, 2 the check folder
    };
    // A bookmark appended to the table; holds it while undone.
    struct Append
    {
        CBookmark saved;
    };
    // A field of a bookmark; holds the value the field does not have now.
    struct Field
    {
        uint32_t index;
        int which; // 0 name, 1 URL, 2 comment
        std::string other;
    };
    // A folder linked into (linked) or out of its parent's chain after prev.
    struct FolderLink
    {
        CFolderNode* node;
        CFolderNode* parent;
        CFolderNode* prev;
        bool linked;
    };
    // A folder made (created) or freed; the step owns it while it is out of the tree.
    struct FolderLife
    {
        CFolderNode* node;
        bool created;
    };
    struct FolderName
    {
        CFolderNode* node;
        std::string other;
    };
    using Entry = std::variant<Splice, Append, Field, FolderLink, FolderLife, FolderName>;

    void Add(Entry entry);

    std::vector<Entry> m_entries;
    size_t m_nBytes = sizeof(CDocStep);
    bool m_bDone = true;
    // What the document said the step did, where its changes alone would not tell
    // (a merge reads as a deletion); Change when it said nothing.
    Kind m_said = Kind::Change;
    size_t m_nSaidCount = 0;
};
