#pragma once

// Helpers shared by the model and file tests: an independent check of the model's
// invariants, tree snapshots for comparison, and byte-level file builders.

#include "framework/Archive.h"
#include "framework/TextRules.h"
#include "model/KivDoc.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace KivTest {

// Every folder reachable from the three built-in folders, in pre-order.
inline void CollectFolders(CFolderNode* first, std::vector<CFolderNode*>& out)
{
    for (CFolderNode* p = first; p; p = p->m_pNext) {
        out.push_back(p);
        CollectFolders(p->m_pFirstChild, out);
    }
}

inline std::vector<CFolderNode*> AllFolders(CKivDoc& doc)
{
    std::vector<CFolderNode*> out{&doc.m_root, &doc.m_trash, &doc.m_check};
    CollectFolders(doc.m_root.m_pFirstChild, out);
    CollectFolders(doc.m_trash.m_pFirstChild, out);
    CollectFolders(doc.m_check.m_pFirstChild, out);
    return out;
}

// The four invariants, plus sibling chains in name order. Empty when all hold.
inline std::string CheckInvariants(CKivDoc& doc)
{
    std::string why;
    const uint32_t n = doc.BookmarkCount();
    std::vector<int32_t> refs(n, 0);
    for (CFolderNode* f : AllFolders(doc)) {
        std::set<uint32_t> seen;
        for (uint32_t i : f->m_aBookmarks) {
            if (i >= n) {
                why += "index " + std::to_string(i) + " beyond the table in " + f->m_strName + "\n";
                continue;
            }
            if (!seen.insert(i).second)
                why += "index " + std::to_string(i) + " twice in " + f->m_strName + "\n";
            if (!doc.IsTrash(f) && !doc.IsCheck(f))
                ++refs[i];
        }
        for (CFolderNode* c = f->m_pFirstChild; c; c = c->m_pNext) {
            if (c->m_pParent != f)
                why += "folder " + c->m_strName + " has the wrong parent\n";
            if (c->m_pNext && KivText::CompareNoCase(c->m_strName, c->m_pNext->m_strName) > 0)
                why += "siblings " + c->m_strName + ", " + c->m_pNext->m_strName + " out of order\n";
        }
    }
    for (uint32_t i = 0; i < n; ++i)
        if (refs[i] != doc.Bookmark(i).m_nRefs)
            why += "bookmark " + std::to_string(i) + " counts " + std::to_string(doc.Bookmark(i).m_nRefs)
                   + " references, listed " + std::to_string(refs[i]) + " times\n";
    return why;
}

// A tree as plain values: comparable across documents.
struct FolderShape
{
    std::string name;
    std::vector<std::string> bookmarks; // "url|name|comment" in list order
    std::vector<FolderShape> folders;
    bool operator==(const FolderShape&) const = default;
};

inline FolderShape Shape(const CKivDoc& doc, const CFolderNode& f)
{
    FolderShape s{f.m_strName, {}, {}};
    for (uint32_t i : f.m_aBookmarks) {
        const CBookmark& b = doc.Bookmark(i);
        s.bookmarks.push_back(b.m_strUrl + "|" + b.m_strName + "|" + b.m_strComment);
    }
    for (const CFolderNode* c = f.m_pFirstChild; c; c = c->m_pNext)
        s.folders.push_back(Shape(doc, *c));
    return s;
}

inline std::vector<std::string> Names(const CKivDoc& doc, const CFolderNode& f)
{
    std::vector<std::string> out;
    for (uint32_t i : f.m_aBookmarks)
        out.push_back(doc.Bookmark(i).m_strName);
    return out;
}

inline std::vector<std::string> ChildNames(const CFolderNode& f)
{
    std::vector<std::string> out;
    for (const CFolderNode* c = f.m_pFirstChild; c; c = c->m_pNext)
        out.push_back(c->m_strName);
    return out;
}

// The document as the save path writes it, without touching a file.
inline std::string SaveToBytes(CKivDoc& doc)
{
    std::vector<char> out;
    CArchive ar(&out);
    doc.Serialize(ar);
    return std::string(out.begin(), out.end());
}

// Loads bytes the way the open path does; false when the data ends early.
inline bool LoadFromBytes(CKivDoc& doc, const std::string& bytes)
{
    doc.DeleteContents();
    try {
        CArchive ar{std::string_view(bytes)};
        doc.Serialize(ar);
    } catch (const CArchiveException&) {
        doc.DeleteContents();
        return false;
    }
    return true;
}

inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteFile(const QString& path, const std::string& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly)
           && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

// Builds file bytes field by field.
class Bytes
{
public:
    Bytes& U8(uint8_t v) { m_s += char(v); return *this; }
    Bytes& U16(uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    Bytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Bytes& Str(std::string_view s)
    {
        U8(static_cast<uint8_t>(s.size())); // short strings only
        m_s.append(s);
        return *this;
    }
    Bytes& Header(uint32_t magic = 0x2506AB00, uint32_t version = 2)
    {
        return U32(magic).U32(version);
    }
    Bytes& Bookmark(std::string_view url, std::string_view name, std::string_view comment = {})
    {
        return Str(url).Str(name).Str(comment);
    }
    Bytes& Folder(std::string_view name, uint16_t depth) { return Str(name).U16(depth); }
    Bytes& Link(uint32_t folder, uint32_t bookmark, uint16_t marker = 1)
    {
        return U32(folder).U16(marker).U32(bookmark);
    }
    const std::string& str() const { return m_s; }

private:
    std::string m_s;
};

}  // namespace KivTest
