#pragma once

#include "model/KivDoc.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

namespace FormatsTest {

// A folder's content in one line: each bookmark as Name<url> with {comment} when it
// has one, in list order, then each subfolder as Name[...], in chain order.
inline std::string FolderText(const CKivDoc& doc, const CFolderNode& folder)
{
    std::string out;
    const auto sep = [&out] {
        if (!out.empty())
            out += ' ';
    };
    for (uint32_t i : folder.m_aBookmarks) {
        const CBookmark& b = doc.Bookmark(i);
        sep();
        out += b.m_strName + '<' + b.m_strUrl + '>';
        if (!b.m_strComment.empty())
            out += '{' + b.m_strComment + '}';
    }
    for (const CFolderNode* c = folder.m_pFirstChild; c; c = c->m_pNext) {
        sep();
        out += c->m_strName + '[' + FolderText(doc, *c) + ']';
    }
    return out;
}

inline std::string TreeText(const CKivDoc& doc)
{
    return FolderText(doc, doc.m_root);
}

// A collection holding every character the exchange formats find awkward: quotes,
// ampersands (and "&amp;" typed as text), angle brackets, tabs, line breaks,
// non-ASCII text, a bookmarklet, a bookmark listed twice and an empty folder.
inline void AddAwkwardCollection(CKivDoc& doc)
{
    doc.AddBookmark("http://r.example/?a=1&b=2&amp;c=\"q\"<x>", "Fish & Chips <b>\"best\"</b>",
                    "a<b>c & d &amp; \"quoted\"\ttab", &doc.m_root, false);
    doc.AddBookmark("javascript:(function(){alert(\"hi & <bye>\");})()", "Bookmarklet=1", "",
                    &doc.m_root, false);
    CFolderNode* a = doc.CreateFolder(&doc.m_root, "Ärger & <Co> &amp;", true);
    CFolderNode* b = doc.CreateFolder(a, "Inner \"quoted\"\tfolder", true);
    doc.CreateFolder(a, "empty", true);
    doc.AddBookmark("http://x.example/名前", "R&amp;D\tlab 😀 名前", "line one\n\nline two", a,
                    false);
    doc.AddBookmark("http://y.example/", "Привет", "\xEF\xBB\xBFПривет", b, false);
    doc.LinkBookmark(b, 0);
}

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QString DataPath(const char* name)
{
    return QStringLiteral(KIV_TEST_DATA "/formats/") + QString::fromUtf8(name);
}

} // namespace FormatsTest
