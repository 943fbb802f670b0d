#include "FlatTree.h"

#include "framework/Archive.h"
#include "framework/Text.h"
#include "framework/TextRules.h"

#include <algorithm>

namespace {
// A count the remaining bytes cannot hold means the data ends before the records do:
// that is known at once, before any record is read or any memory set aside. What is
// reserved ahead is capped as well; real records grow the tables as they come.
size_t Bounded(uint32_t count, const CArchive& ar, uint64_t minRecordBytes)
{
    if (uint64_t(count) * minRecordBytes > ar.BytesLeft())
        throw CArchiveException(CArchiveException::EndOfFile, "count beyond the end of data");
    constexpr uint32_t kMaxReserve = 1u << 22;
    return std::min(count, kMaxReserve);
}
}  // namespace

void CFlatTree::ClearFlat()
{
    m_flatBookmarks.clear();
    m_flatBookmarks.shrink_to_fit();
    m_flatFolders.clear();
    m_flatFolders.shrink_to_fit();
    m_flatLinks.clear();
    m_flatLinks.shrink_to_fit();
    m_flatNameKeys.clear();
    m_flatNameKeys.shrink_to_fit();
}

void CFlatTree::Serialize(CArchive& ar) { SerializeTables(ar); }

void CFlatTree::StoreBookmark(CArchive& ar, const std::string& url, const std::string& name,
                              const std::string& comment)
{
    ar.WriteString(url);
    ar.WriteString(name);
    ar.WriteString(comment);
}

void CFlatTree::StoreFoldersAndLinks(CArchive& ar) const
{
    ar.WriteU32(static_cast<uint32_t>(m_flatFolders.size()));
    for (const FlatFolder& f : m_flatFolders) {
        ar.WriteString(f.name);
        ar.WriteU16(f.depth);
    }
    ar.WriteU32(static_cast<uint32_t>(m_flatLinks.size()));
    for (const FlatLink& l : m_flatLinks) {
        ar.WriteU32(l.folder);
        ar.WriteU16(l.marker);
        ar.WriteU32(l.bookmark);
    }
}

void CFlatTree::SerializeTables(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteU32(static_cast<uint32_t>(m_flatBookmarks.size()));
        for (const FlatBookmark& b : m_flatBookmarks)
            StoreBookmark(ar, b.m_strUrl, b.m_strName, b.m_strComment);
        StoreFoldersAndLinks(ar);
        return;
    }

    uint32_t count = ar.ReadU32();
    m_flatBookmarks.reserve(m_flatBookmarks.size() + Bounded(count, ar, 3));
    // The table's texts go into shared blocks: no allocation per text. The name keys
    // that linking sorts by are taken while each name is at hand.
    const bool keyed = m_flatBookmarks.empty() && KivText::NameKeysOrder();
    m_flatNameKeys.clear();
    if (keyed)
        m_flatNameKeys.reserve(std::min<size_t>(count, m_flatBookmarks.capacity()));
    CTextBlockWriter writer;
    for (uint32_t k = 0; k < count; ++k) {
        CText url = ar.ReadText(writer);
        CText name = ar.ReadText(writer);
        CText comment = ar.ReadText(writer);
        if (keyed)
            m_flatNameKeys.push_back(KivText::NameKey(name));
        m_flatBookmarks.push_back({std::move(url), std::move(name), std::move(comment)});
    }
    count = ar.ReadU32();
    m_flatFolders.reserve(m_flatFolders.size() + Bounded(count, ar, 3));
    for (uint32_t k = 0; k < count; ++k) {
        FlatFolder f;
        f.name = ar.ReadString();
        f.depth = ar.ReadU16();
        m_flatFolders.push_back(std::move(f));
    }
    count = ar.ReadU32();
    m_flatLinks.reserve(m_flatLinks.size() + Bounded(count, ar, 10));
    for (uint32_t k = 0; k < count; ++k) {
        FlatLink l;
        l.folder = ar.ReadU32();
        l.marker = ar.ReadU16();
        l.bookmark = ar.ReadU32();
        m_flatLinks.push_back(l);
    }
}
