#pragma once

// A small document with folders at three levels, and tree snapshots that compare
// across documents.

#include "model/KivDoc.h"

#include <ostream>
#include <string>
#include <vector>

namespace KivTransferTest {

// A tree as plain values: folder name, bookmarks "url|name|comment" in list order,
// and the child folders in chain order.
struct Shape
{
    std::string name;
    std::vector<std::string> bookmarks;
    std::vector<Shape> folders;
    bool operator==(const Shape&) const = default;
};

// Readable failure output: the tree indented by depth.
inline void PrintTo(const Shape& s, std::ostream* os, int depth = 0)
{
    *os << "\n" << std::string(size_t(depth) * 2, ' ') << "[" << s.name << "]";
    for (const std::string& b : s.bookmarks)
        *os << "\n" << std::string(size_t(depth) * 2 + 2, ' ') << b;
    for (const Shape& c : s.folders)
        PrintTo(c, os, depth + 1);
}

inline Shape ShapeOf(const CKivDoc& doc, const CFolderNode& f)
{
    Shape s{f.m_strName, {}, {}};
    for (uint32_t i : f.m_aBookmarks) {
        const CBookmark& b = doc.Bookmark(i);
        s.bookmarks.push_back(b.m_strUrl + "|" + b.m_strName + "|" + b.m_strComment);
    }
    for (const CFolderNode* c = f.m_pFirstChild; c; c = c->m_pNext)
        s.folders.push_back(ShapeOf(doc, *c));
    return s;
}

// Everything a paste could touch: the three built-in trees and the table.
inline std::vector<Shape> Snapshot(const CKivDoc& doc)
{
    Shape table{"table", {}, {}};
    for (const CBookmark& b : doc.Bookmarks())
        table.bookmarks.push_back(b.m_strUrl + "|" + b.m_strName + "|" + b.m_strComment);
    return {ShapeOf(doc, doc.m_root), ShapeOf(doc, doc.m_trash), ShapeOf(doc, doc.m_check), table};
}

inline CFolderNode* Child(CFolderNode& parent, std::string_view name)
{
    for (CFolderNode* c = parent.m_pFirstChild; c; c = c->m_pNext)
        if (c->m_strName == name)
            return c;
    return nullptr;
}

// root: r1, r2 and the folders Alpha (a1, a2; Beta (b1, a1; Gamma (g1))) and Zeta (z1);
// the trash lists t1; the check folder c1. Names include non-ASCII text so the wide
// string form travels too.
inline void BuildSample(CKivDoc& doc)
{
    doc.AddBookmark("http://r1.example/", "Root one", "first", &doc.m_root, false);
    doc.AddBookmark("http://r2.example/", "Root two", "", &doc.m_root, false);
    CFolderNode* alpha = doc.CreateFolder(&doc.m_root, "Alpha", false);
    CFolderNode* zeta = doc.CreateFolder(&doc.m_root, "Zeta", false);
    CFolderNode* beta = doc.CreateFolder(alpha, "Beta ß", false);
    CFolderNode* gamma = doc.CreateFolder(beta, "Gamma", false);
    doc.AddBookmark("http://a1.example/", "Apfel ä", "fruit", alpha, false);
    doc.AddBookmark("http://a2.example/", "Bananen", "", alpha, false);
    doc.AddBookmark("http://b1.example/", "Birnen", "note", beta, false);
    doc.AddBookmark("http://a1.example/", "ignored", "", beta, false);
    doc.AddBookmark("http://g1.example/", "Gurken", "", gamma, false);
    doc.AddBookmark("http://z1.example/", "Zwiebeln", "", zeta, false);
    doc.AddBookmark("http://t1.example/", "Trashed", "", &doc.m_trash, false);
    doc.AddBookmark("http://c1.example/", "Checked", "", &doc.m_check, false);
    doc.SetModifiedFlag(false);
}

}  // namespace KivTransferTest
