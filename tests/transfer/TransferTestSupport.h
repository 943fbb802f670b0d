#pragma once

// A small document with folders at three levels, and snapshots of everything a
// paste could touch, on top of the model tests' helpers.

#include "model/ModelTestSupport.h"

#include <ostream>
#include <string>
#include <vector>

namespace KivTest {

// Readable failure output: the tree indented by depth.
inline void PrintTo(const FolderShape& s, std::ostream* os, int depth = 0)
{
    *os << "\n" << std::string(size_t(depth) * 2, ' ') << "[" << s.name << "]";
    for (const std::string& b : s.bookmarks)
        *os << "\n" << std::string(size_t(depth) * 2 + 2, ' ') << b;
    for (const FolderShape& c : s.folders)
        PrintTo(c, os, depth + 1);
}

} // namespace KivTest

namespace KivTransferTest {

using KivTest::FolderShape;

// The three built-in trees and the table.
inline std::vector<FolderShape> Snapshot(const CKivDoc& doc)
{
    FolderShape table{"table", {}, {}};
    for (const CBookmark& b : doc.Bookmarks())
        table.bookmarks.push_back(b.m_strUrl + "|" + b.m_strName + "|" + b.m_strComment);
    return {KivTest::Shape(doc, doc.m_root), KivTest::Shape(doc, doc.m_trash),
            KivTest::Shape(doc, doc.m_check), table};
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

} // namespace KivTransferTest
