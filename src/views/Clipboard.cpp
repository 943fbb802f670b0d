#include "Clipboard.h"

#include "framework/Archive.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QMimeData>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <array>
#include <string_view>

namespace KivClipboard {

namespace {

// A bookmark list is small; a subtree may be large. Either way the buffer grows by
// itself, this only spares the first few reallocations.
constexpr size_t kListReserve = 1024;
constexpr size_t kSubtreeReserve = 4096;

QByteArray Serialized(CFlatTree& flat, size_t reserve)
{
    std::vector<char> out;
    out.reserve(reserve);
    CArchive ar(&out);
    flat.SerializeTables(ar);
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

// The links of each folder entry, in link order, so the insert need not scan every
// link once per folder.
std::vector<std::vector<uint32_t>> LinksByFolder(const CFlatTree& flat)
{
    std::vector<std::vector<uint32_t>> byFolder(flat.m_flatFolders.size());
    for (const FlatLink& l : flat.m_flatLinks)
        byFolder[l.folder].push_back(l.bookmark);
    return byFolder;
}

// AddBookmark of each entry named, in order, into folder; how many were added.
size_t AddFlatBookmarks(CKivDoc& doc, const CFlatTree& flat,
                        std::vector<uint32_t>::const_iterator first,
                        std::vector<uint32_t>::const_iterator last, CFolderNode* folder)
{
    std::vector<const CBookmark*> entries;
    entries.reserve(static_cast<size_t>(last - first));
    for (; first != last; ++first)
        entries.push_back(&flat.m_flatBookmarks[*first]);
    return doc.AddBookmarks(folder, entries);
}

} // namespace

QByteArray PayloadBytes(CFlatTree& flat)
{
    return Serialized(flat, kListReserve);
}

QByteArray CopyBookmarks(const CKivDoc& doc, const std::vector<uint32_t>& indexes)
{
    CFlatTree flat;
    flat.m_flatBookmarks.reserve(indexes.size());
    for (uint32_t i : indexes) {
        if (i >= doc.BookmarkCount())
            continue;
        const CBookmark& b = doc.Bookmark(i);
        flat.m_flatBookmarks.push_back({b.m_strUrl, b.m_strName, b.m_strComment});
    }
    return Serialized(flat, kListReserve);
}

QByteArray CopyFolder(CKivDoc& doc, CFolderNode* folder)
{
    if (!folder)
        return {};
    CFlatTree flat;
    doc.FlattenSubtree(flat, folder, 1, true);
    return Serialized(flat, kSubtreeReserve);
}

QMimeData* MakeMimeData(const QByteArray& payload, const std::vector<std::string>& urls)
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kFormatName), payload);
    if (urls.empty())
        return data;
    QStringList lines;
    QList<QUrl> list;
    for (const std::string& url : urls) {
        const QString text = QString::fromStdString(url);
        lines << text;
        const QUrl parsed(text, QUrl::TolerantMode);
        if (parsed.isValid() && !parsed.isRelative())
            list << parsed;
    }
    if (!list.isEmpty())
        data->setUrls(list);
    data->setText(lines.join(QLatin1Char('\n')));
    return data;
}

std::vector<std::string> BookmarkUrls(const CKivDoc& doc, const std::vector<uint32_t>& indexes)
{
    std::vector<std::string> urls;
    for (uint32_t i : indexes)
        if (i < doc.BookmarkCount())
            urls.push_back(doc.Bookmark(i).m_strUrl);
    return urls;
}

bool OffersPayload(const QMimeData* data)
{
    return data && data->hasFormat(QString::fromLatin1(kFormatName));
}

ReadStatus ReadPayload(QByteArrayView bytes, CFlatTree& flat)
{
    flat.ClearFlat();
    try {
        CArchive ar(std::string_view(bytes.data(), static_cast<size_t>(bytes.size())));
        flat.SerializeTables(ar);
    } catch (const CArchiveException& e) {
        flat.ClearFlat();
        return e.cause() == CArchiveException::EndOfFile ? ReadStatus::truncated
                                                         : ReadStatus::damaged;
    }
    if (!IsWellFormed(flat)) {
        flat.ClearFlat();
        return ReadStatus::damaged;
    }
    return ReadStatus::ok;
}

bool IsWellFormed(const CFlatTree& flat)
{
    const size_t bookmarks = flat.m_flatBookmarks.size();
    const size_t folders = flat.m_flatFolders.size();
    for (const FlatLink& l : flat.m_flatLinks)
        if (l.folder >= folders || l.bookmark >= bookmarks)
            return false;
    int previous = 0; // the paste target sits at depth 0
    for (const FlatFolder& f : flat.m_flatFolders) {
        const int depth = f.depth;
        if (depth < 1 || depth > CKivDoc::kMaxDepth || depth > previous + 1)
            return false;
        previous = depth;
    }
    return true;
}

// How many levels below its top-level folder the deepest pasted folder would sit.
static int DeepestLevel(const CFolderNode* target, const CFlatTree& flat)
{
    const int base = CKivDoc::FolderDepth(target);
    int deepest = base;
    const bool intoTarget = !flat.m_flatFolders.empty() && flat.m_flatFolders[0].name == "_root_";
    for (size_t i = intoTarget ? 1 : 0; i < flat.m_flatFolders.size(); ++i) {
        const int depth = flat.m_flatFolders[i].depth;
        // Below a "_root_" first folder, its children land directly in the target.
        const int level = intoTarget ? std::max(1, depth - 1) : depth;
        deepest = std::max(deepest, base + level);
    }
    return deepest;
}

CPasteResult InsertFlatTree(CKivDoc& doc, CFolderNode* target, const CFlatTree& flat)
{
    CPasteResult result;
    if (!target)
        return result;
    result.target = target;
    // Checked before the first change, so a bad payload leaves the document as it was.
    if (!IsWellFormed(flat)) {
        result.status = CPasteResult::damaged;
        result.messageId = IDS_PASTE_DAMAGED;
        return result;
    }
    if (DeepestLevel(target, flat) > CKivDoc::kMaxDepth) {
        result.status = CPasteResult::tooDeep;
        result.messageId = IDS_TOO_DEEP;
        return result;
    }
    result.status = CPasteResult::pasted;

    if (flat.m_flatFolders.empty()) {
        // The entries from the last to the first.
        std::vector<uint32_t> backwards(flat.m_flatBookmarks.size());
        for (size_t k = 0; k < backwards.size(); ++k)
            backwards[k] = static_cast<uint32_t>(backwards.size() - 1 - k);
        result.added += static_cast<uint32_t>(
            AddFlatBookmarks(doc, flat, backwards.begin(), backwards.end(), target));
        return result;
    }

    result.subtree = true;
    const std::vector<std::vector<uint32_t>> links = LinksByFolder(flat);
    // The folder last placed at each depth; depth 0 is the target.
    std::array<CFolderNode*, CKivDoc::kMaxDepth + 1> level{};
    level[0] = target;
    for (size_t i = 0; i < flat.m_flatFolders.size(); ++i) {
        const FlatFolder& f = flat.m_flatFolders[i];
        CFolderNode* folder = i == 0 && f.name == "_root_"
                                  ? target
                                  : doc.CreateFolder(level[f.depth - 1], f.name, true);
        level[f.depth] = folder;
        result.added += static_cast<uint32_t>(
            AddFlatBookmarks(doc, flat, links[i].begin(), links[i].end(), folder));
    }
    return result;
}

CPasteResult PastePayload(CKivDoc& doc, CFolderNode* target, QByteArrayView bytes)
{
    CPasteResult result;
    if (!target)
        return result;
    CFlatTree flat;
    switch (ReadPayload(bytes, flat)) {
    case ReadStatus::ok:
        return InsertFlatTree(doc, target, flat);
    case ReadStatus::truncated:
        result.status = CPasteResult::truncated;
        break;
    case ReadStatus::damaged:
        result.status = CPasteResult::damaged;
        break;
    }
    result.target = target;
    result.messageId = IDS_PASTE_DAMAGED;
    return result;
}

void SendPasteHints(CDocument& doc, const CPasteResult& result)
{
    if (result.status != CPasteResult::pasted)
        return;
    if (result.subtree)
        doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, result.target);
    doc.UpdateAllViews(nullptr, HINT_REFRESH);
}

} // namespace KivClipboard
