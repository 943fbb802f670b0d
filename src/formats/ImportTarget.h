#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

class CKivDoc;
class CFolderNode;

// Where the readers of the exchange formats put what they read: a tree of folders
// and bookmarks merged into the document. On import the folders open below the root
// and merge with a sibling of the same name (case-insensitive); in check mode (the
// compare) every bookmark whose URL is new goes flat into the check folder and the
// document is not marked modified. A reader calls OpenFolder / CloseFolder as its
// folders begin and end and AddBookmark for each bookmark in between.
class CImportTarget
{
public:
    static constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

    CImportTarget(CKivDoc& doc, bool checkMode);
    // Links what is still waiting (Finish).
    ~CImportTarget();
    CImportTarget(const CImportTarget&) = delete;
    CImportTarget& operator=(const CImportTarget&) = delete;

    // A folder inside the current one. At most 99 folders stand inside each other
    // (the document keeps no deeper ones): a deeper folder opens nothing, its
    // bookmarks go into the innermost open folder and its close closes nothing open.
    void OpenFolder(std::string_view name);
    // A level that keeps the current folder (a folder without a name).
    void OpenSameFolder();
    // A folder of deleted items: its bookmarks, and those of every folder inside it,
    // go to the trash as if deleted here; in check mode they are not taken at all.
    void OpenTrash();
    // Closes the innermost level opened; at the top it does nothing.
    void CloseFolder();
    // Whether a level is open above the top (CloseFolder would close something).
    bool AnyOpen() const { return m_surplus > 0 || m_level > 0; }

    // Adds the bookmark to the current folder (the name and URL end at a NUL; a blank
    // name becomes the one a new bookmark gets from its URL). The index of the entry
    // that now stands there (a known URL keeps its entry, name and comment), or kNone
    // when nothing was added (URL shorter than two bytes; in check mode, a URL the
    // document knows; a level whose bookmarks are not taken). A deleted bookmark whose
    // URL the document knows is left where it is.
    uint32_t AddBookmark(std::string_view url, std::string_view name, std::string_view comment);
    // Replaces the comment of an entry AddBookmark returned.
    void SetComment(uint32_t index, std::string comment);
    // Links the bookmarks still waiting for their folder. A folder's bookmarks are
    // linked together when the reader moves on to another folder (a large folder
    // then fills in one pass instead of one insertion each), with the result adding
    // them one by one gives; the entries themselves exist as soon as AddBookmark
    // returns.
    void Finish();

private:
    void Push(CFolderNode* folder);

    CKivDoc& m_doc;
    const bool m_checkMode;
    // Level 0 is the root (the check folder in check mode); nullptr: a level whose
    // bookmarks are not taken.
    std::array<CFolderNode*, 100> m_stack{};
    int m_level = 0;
    int m_surplus = 0; // levels opened beyond the stack
    CFolderNode* m_pendingFolder = nullptr;
    std::vector<uint32_t> m_pending; // entries m_pendingFolder is still to list
};
