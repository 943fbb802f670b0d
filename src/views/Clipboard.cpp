#include "Clipboard.h"

#include "framework/Archive.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QMimeData>
#include <QStringList>
#include <QUrl>

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
    if (!CKivDoc::IsWellFormed(flat)) {
        flat.ClearFlat();
        return ReadStatus::damaged;
    }
    return ReadStatus::ok;
}

namespace {

CPasteResult InsertFlatTree(CKivDoc& doc, CFolderNode* target, const CFlatTree& flat)
{
    using Status = CKivDoc::FlatInsert::Status;
    const CKivDoc::FlatInsert inserted = doc.InsertFlatTree(target, flat);
    CPasteResult result;
    result.target = target;
    result.subtree = inserted.subtree;
    result.added = inserted.added;
    switch (inserted.status) {
    case Status::inserted:
        result.status = CPasteResult::pasted;
        break;
    case Status::noTarget:
        result.status = CPasteResult::noTarget;
        break;
    case Status::damaged:
        result.status = CPasteResult::damaged;
        result.messageId = IDS_PASTE_DAMAGED;
        break;
    case Status::tooDeep:
        result.status = CPasteResult::tooDeep;
        result.messageId = IDS_TOO_DEEP;
        break;
    }
    return result;
}

} // namespace

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
