#pragma once

#include "Bookmark.h"
#include "FlatTree.h"
#include "Journal.h"
#include "UrlIndex.h"
#include "framework/Document.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Update hints sent with UpdateAllViews (CHint::code); the folder hints name their
// folder, HINT_SELECT_ROW its row.
enum : int {
    HINT_REFRESH = 0,
    HINT_NEW_FAVORITES = 1, // the favorites walk; treated like a refresh
    HINT_SELECT_ROW = 8,
    HINT_SYNC_FOLDER = 10,
    HINT_SELECT_FOLDER = 11,
};

// One merge of bookmarks that name the same page: keep stays, others go.
struct CMergeSet
{
    uint32_t keep = 0;
    std::vector<uint32_t> others;
};

// The document: the bookmark table, the folder tree with its three built-in
// folders, and the find state. One instance lives for the program's whole run and
// is reused for every new or opened file.
class CKivDoc : public CDocument, public CFlatTree
{
public:
    static constexpr uint32_t kMagic = 0x2506AB00;
    static constexpr uint32_t kVersion = 2;
    static constexpr int kMaxDepth = 99;

    CKivDoc();
    ~CKivDoc() override;

    // --- the model ---------------------------------------------------------------
    bool AddBookmark(const char* url, const char* name, const char* comment,
                     CFolderNode* folder, bool checkMode, uint32_t* outIndex = nullptr,
                     int* outPos = nullptr);
    bool AddBookmarkAtPath(const char* url, const char* name, std::string_view path,
                           bool checkMode);
    // The first entry whose URL is exactly url, or -1.
    int32_t FindUrl(std::string_view url);
    // The folder a "/"-separated path names below the root, created where missing;
    // an empty segment ends the walk, and so does the deepest level a file keeps.
    CFolderNode* WalkPath(std::string_view path);
    bool LinkBookmark(CFolderNode* folder, uint32_t i, int* outPos = nullptr);
    void UnlinkBookmark(CFolderNode* folder, uint32_t i);
    void UnlinkAllBookmarks(CFolderNode* folder);

    // Many items at once: each gives what the one-item operation called for every
    // item in the given order gives, in one pass over the folder's list, whatever
    // the number of items or of equal names.
    // LinkBookmark (folder, i) for each index; returns how many were linked.
    size_t LinkBookmarks(CFolderNode* folder, const std::vector<uint32_t>& indexes);
    // UnlinkBookmark (folder, i) for each index; returns how many were listed.
    size_t UnlinkBookmarks(CFolderNode* folder, const std::vector<uint32_t>& indexes);
    // LinkBookmark (to, i) for each index and, unless copying, UnlinkBookmark (from, i).
    void MoveBookmarks(CFolderNode* from, CFolderNode* to, const std::vector<uint32_t>& indexes,
                       bool copy);
    // AddBookmark (url, name, comment, folder, not in check mode) for each entry in
    // order; returns how many were added.
    size_t AddBookmarks(CFolderNode* folder, const std::vector<const CBookmark*>& entries);
    CFolderNode* CreateFolder(CFolderNode* parent, std::string_view name, bool findExisting);
    // AddBookmark's finding or making of the entry for url, without linking it
    // anywhere yet (the caller links it); false in check mode when the URL is known.
    bool FindOrAppend(const char* url, const char* name, const char* comment, bool checkMode,
                      uint32_t& index);
    // Takes the folder into the tree at its sorted place below `parent` (null: the
    // root) and returns it.
    CFolderNode* InsertFolder(CFolderNode* parent, std::unique_ptr<CFolderNode> node,
                              CFolderNode** outPrev = nullptr);
    // Takes the folder with its subtree out of its parent's chain and hands it over
    // (null for a built-in folder or one without a parent).
    [[nodiscard]] std::unique_ptr<CFolderNode> DetachFolder(CFolderNode* node);
    void DeleteFolder(CFolderNode* node);
    void DeleteFolderChain(CFolderNode* first);
    void TrashFolderBookmarks(CFolderNode* folder);
    void TrashChainBookmarks(CFolderNode* first);
    void FlattenSubtree(CFlatTree& flat, CFolderNode* folder, int depth, bool single);
    bool FlattenForSave();
    bool RebuildFromFlat();

    // Field edits go through these so the URL lookup and the name order stay right.
    void SetBookmarkName(uint32_t i, std::string name);
    void SetBookmarkUrl(uint32_t i, std::string url);
    void SetBookmarkComment(uint32_t i, std::string comment);

    // --- whole edits ---------------------------------------------------------------
    // What the window's commands do to the collection, each one call that keeps every
    // rule (sorted chains and lists, reference counts, the URL lookup, the current
    // folder never freed) and marks the document modified when it changed something.

    // Why a folder may not move below a parent; ok when it may.
    enum class FolderMove { ok, notMovable, onItself, onParent, onCheck, onChild, tooDeep };
    FolderMove CheckFolderMove(const CFolderNode* folder, const CFolderNode* parent) const;
    // Moves a folder with its subtree below `parent`, at its sorted place; false (and
    // nothing changed) unless CheckFolderMove says ok.
    bool MoveFolder(CFolderNode* folder, CFolderNode* parent);
    // Gives a folder a new name and its sorted place among its siblings; false for a
    // built-in folder.
    bool RenameFolder(CFolderNode* folder, std::string name);
    // Puts the bookmarks of a folder and of every folder below it into the trash and
    // deletes the folders; a current folder among them gives way to the parent. False
    // for a built-in folder.
    bool DeleteFolderToTrash(CFolderNode* folder);
    // Lists the bookmarks in `to` and, unless copying, takes them out of `from` (the
    // list of `from` itself may be given). Nothing happens into the check folder or
    // within one folder. Returns how many were listed or moved.
    size_t MoveOrCopyBookmarks(CFolderNode* from, CFolderNode* to,
                               const std::vector<uint32_t>& bookmarks, bool copy);
    // Sets a bookmark's three fields. A changed name re-sorts it in `shown` only (the
    // other folders keep their order until reloaded): its new position there, else -1.
    int EditBookmark(uint32_t i, std::string name, std::string url, std::string comment,
                     CFolderNode* shown);
    // Each set's kept bookmark takes every placement of its others below the root, and
    // the others go to the trash. Returns how many went.
    size_t MergeBookmarks(const std::vector<CMergeSet>& sets);
    // Takes the bookmarks out of every folder below the root and lists them in the
    // trash. Returns how many went.
    size_t TrashBookmarks(const std::vector<uint32_t>& bookmarks);

    // Whether a flat tree keeps the rules an insert relies on: every link names a
    // folder and a bookmark that exist; the first folder has depth 1; each later one
    // is between 1 and one deeper than the one before; none deeper than kMaxDepth.
    static bool IsWellFormed(const CFlatTree& flat);
    // What InsertFlatTree did.
    struct FlatInsert
    {
        enum class Status { inserted, noTarget, damaged, tooDeep };
        Status status = Status::noTarget;
        bool subtree = false; // folders came with it (else a bookmark list)
        uint32_t added = 0;   // bookmarks newly listed in some folder
    };
    // Inserts a flattened tree (a copied bookmark list or folder subtree) below
    // `target`. A bookmark list adds its bookmarks from the last to the first into the
    // target. A folder subtree merges by name: each folder reuses an existing child of
    // the same name (case-insensitively) or creates one; a first folder named exactly
    // as the root ("_root_") stands for the target itself. Bookmarks already in the
    // document (same URL) are listed again rather than duplicated. A tree that is not
    // well formed, or whose folders would end up more than kMaxDepth levels below
    // their built-in folder (a file keeps no deeper ones), is refused whole before
    // anything changes.
    FlatInsert InsertFlatTree(CFolderNode* target, const CFlatTree& flat);

    const std::vector<CBookmark>& Bookmarks() const { return m_bookmarks; }
    const CBookmark& Bookmark(uint32_t i) const { return m_bookmarks[i]; }
    uint32_t BookmarkCount() const { return static_cast<uint32_t>(m_bookmarks.size()); }

    bool IsTrash(const CFolderNode* f) const { return f == &m_trash; }
    bool IsCheck(const CFolderNode* f) const { return f == &m_check; }
    bool IsBuiltIn(const CFolderNode* f) const
    {
        return f == &m_root || f == &m_trash || f == &m_check;
    }
    // Levels between a folder and the built-in folder holding it (0 for the root, the
    // trash and the check folder); a file keeps folders down to kMaxDepth.
    static int FolderDepth(const CFolderNode* folder);
    // Counts for kivtool info: folders below the root and the links they hold.
    void CountTree(uint32_t* folders, uint64_t* links) const;

    // --- the document --------------------------------------------------------------
    void Serialize(CArchive& ar) override; // both bases share it
    void DeleteContents() override;
    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    // A file that is not a collection, or one of a newer version, is refused before
    // the current content goes: opening it as empty would let the next save wipe it.
    CFileError::Cause CheckFileHeader(std::string_view head) const override;

    // Called after a successful new or open; the automation layer registers the
    // running document there.
    virtual void RegisterActive() {}

    // --- the change history ----------------------------------------------------------
    // While m_onStep is set, every change the primitives above make between
    // BeginStep and the matching EndStep is recorded into one step, handed to
    // m_onStep when the outermost EndStep closes it (unless it changed nothing).
    // A change made with no step open opens one and calls m_onStepOpened, whose
    // owner closes it later. m_onHistoryLost is called when the recorded history
    // no longer matches the contents (new, open, close).
    void BeginStep(unsigned command = 0);
    void EndStep();
    bool StepOpen() const { return m_nStepDepth > 0; }
    void UndoStep(CDocStep& step);
    void RedoStep(CDocStep& step);
    // Says what the step being recorded did, where its changes alone would not tell
    // the Edit menu; count is what the name counts. Nothing when none is recorded.
    void NameStep(CDocStep::Kind kind, size_t count);
    std::function<void(std::unique_ptr<CDocStep>)> m_onStep;
    std::function<void()> m_onStepOpened;
    std::function<void()> m_onHistoryLost;

    class CStepScope
    {
    public:
        explicit CStepScope(CKivDoc& doc, unsigned command = 0) : m_doc(doc)
        {
            m_doc.BeginStep(command);
        }
        ~CStepScope() { m_doc.EndStep(); }
        CStepScope(const CStepScope&) = delete;
        CStepScope& operator=(const CStepScope&) = delete;

    private:
        CKivDoc& m_doc;
    };

    // Find state is reset with the contents.
    void ResetFindState();

    CFolderNode m_root;
    CFolderNode m_trash;
    CFolderNode m_check;
    CFolderNode* m_pCurFolder = nullptr;

    uint32_t m_dwRegister = 0;
    bool m_bWalkSubfolders = false;
    bool m_bDeleteShortcuts = false;
    std::string m_strFindText;
    int32_t m_nFindPos = -1;
    bool m_bFindFromTop = true;

private:
    bool IsSorted(const CFolderNode* f) const { return f->m_nSortedEpoch == m_nRenameEpoch; }
    // LinkBookmark's placing in the list, without counting the reference.
    bool PlaceInList(CFolderNode* folder, uint32_t i, int* outPos);
    // LinkBookmarks; inNameOrder when the indexes are known to be in name order.
    size_t LinkMany(CFolderNode* folder, const std::vector<uint32_t>& indexes, bool inNameOrder);
    // Whether the folder's list is in name order, looked over once per rename.
    bool KnownSorted(CFolderNode* folder);
    void ResetFolder(CFolderNode& f);
    int PlaceOf(const CFolderNode* f) const { return f == &m_trash ? 1 : f == &m_check ? 2 : 0; }
    // The step recording goes to, or null when nothing is recorded.
    CDocStep* Recording();
    void Replay(CDocStep& step, bool undo);
    void ReplaySplice(CDocStep::Splice& s, bool insert);
    void ReplayFolderLink(const CDocStep::FolderLink& l, bool link);
    // Drops the history and anything recorded so far (the contents are replaced).
    void LoseHistory();
    void BuildUrlIndex();
    void FlattenFolder(CFlatTree& flat, CFolderNode* p, int depth, bool appendBookmarks);
    // Trashes every bookmark whose replacement is not kKeepAsIs: unlinked from each
    // folder below the root, its replacement linked there instead (none for kNoOne).
    static constexpr uint32_t kKeepAsIs = UINT32_MAX, kNoOne = UINT32_MAX - 1;
    size_t ReplaceBelowRoot(const std::vector<uint32_t>& replacement);

    std::vector<CBookmark> m_bookmarks;
    CUrlIndex m_urlIndex;
    bool m_bUrlIndexBuilt = true; // false after a load until the first URL lookup
    uint64_t m_nRenameEpoch = 1;
    std::unique_ptr<CDocStep> m_pStep;
    int m_nStepDepth = 0;
    bool m_bSkipStep = false;
    int m_nUnrecorded = 0; // replaying, loading or clearing: nothing is recorded
};
