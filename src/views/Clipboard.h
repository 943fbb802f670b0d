#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <string>
#include <vector>

class CDocument;
class CFlatTree;
class CFolderNode;
class CKivDoc;
class QMimeData;

// Bookmarks and folder subtrees travel through the clipboard as the three tables of
// a flattened tree, laid out exactly as the body of a document file (no magic
// number, no version). The commands of the views and the document put these bytes
// on the system clipboard and take them off again; everything here works without a
// window.
namespace KivClipboard {

// The registered name of the private format. Two running copies exchange data only
// because both use exactly this name.
inline constexpr char kFormatName[] = "Vedirodo";

// Payload of a bookmark list: each index, in the given order, with its URL, name and
// comment; no folders and no links. Indexes beyond the table are left out.
QByteArray CopyBookmarks(const CKivDoc& doc, const std::vector<uint32_t>& indexes);

// Payload of a folder with everything below it, the folder itself at depth 1 under
// its internal name ("_root_" for the root, empty for the trash and the check
// folder). Empty bytes, meaning "nothing to copy", when the folder is null.
QByteArray CopyFolder(CKivDoc& doc, CFolderNode* folder);

// Serialized tables of a flattened tree (storing leaves the tables as they are).
QByteArray PayloadBytes(CFlatTree& flat);

// The clipboard contents for a payload: the private format, and when URLs are
// given, the same bookmarks for other programs as plain text (one URL a line) and
// as a URL list. The caller hands it to the clipboard, which takes ownership.
QMimeData* MakeMimeData(const QByteArray& payload, const std::vector<std::string>& urls = {});

// The URLs of bookmarks, in the given order (indexes beyond the table left out).
std::vector<std::string> BookmarkUrls(const CKivDoc& doc, const std::vector<uint32_t>& indexes);

// Whether paste is possible: the data offers the private format, whatever else it
// holds. Null data offers nothing.
bool OffersPayload(const QMimeData* data);

enum class ReadStatus {
    ok,
    truncated, // the bytes end before the counts say they should
    damaged,   // unreadable (a broken string prefix) or breaking the table rules
};

// Reads the three tables from the start of the bytes into an empty tree; bytes after
// the last link are ignored (the platform may hand over a longer block). On anything
// but ok the tree is left empty.
ReadStatus ReadPayload(QByteArrayView bytes, CFlatTree& flat);

// What a paste did, so the caller can notify the views and report a failure.
struct CPasteResult
{
    enum Status {
        pasted,    // inserted; the views need the hints below
        noTarget,  // no folder to paste into: nothing happens and nothing is said
        truncated, // the payload ended early: nothing changed, show messageId
        damaged,   // the payload broke the table rules: nothing changed, show messageId
        tooDeep,   // the folders would nest deeper than a file keeps: nothing changed,
                   // show messageId
    };
    Status status = noTarget;
    CFolderNode* target = nullptr;
    bool subtree = false;   // a folder subtree was pasted (else a bookmark list)
    uint32_t added = 0;     // bookmarks newly listed in some folder
    unsigned messageId = 0; // string id to show in a message box; 0 when silent
};

// Paste of raw clipboard bytes: read completely first (a payload breaking the
// table rules is refused), then inserted whole by CKivDoc::InsertFlatTree.
CPasteResult PastePayload(CKivDoc& doc, CFolderNode* target, QByteArrayView bytes);

// The view updates a successful paste needs: a subtree re-syncs the target's
// children (HINT_SYNC_FOLDER with the target) and then every view refreshes
// (HINT_REFRESH); a bookmark list only refreshes. Nothing for a failed paste.
void SendPasteHints(CDocument& doc, const CPasteResult& result);

} // namespace KivClipboard
