#pragma once

#include <string_view>

class CKivDoc;
class CFolderNode;

// Find: a case-insensitive substring search over the chosen fields of the bookmarks,
// folder by folder in tree order, continuing after the last hit.
//
// The window's commands:
//   Find (57636): BeginFind(doc), then show and focus the search bar.
//   Find next (32786): FindNext(doc, searchBarText, fields from the three switches);
//     hit: UpdateAllViews(nullptr, HINT_SELECT_FOLDER, step.folder) (the tree's selection
//       makes it m_pCurFolder), then UpdateAllViews(nullptr, HINT_SELECT_ROW, position);
//     notFound: message box kItemNotFound with OK; nothing: nothing.

inline constexpr const char* kItemNotFound = "Item not found!";

struct FindFields
{
    bool name = true;
    bool url = true;
    bool comment = false;
};

struct FindHit
{
    CFolderNode* folder = nullptr;
    int position = -1;
    explicit operator bool() const { return folder != nullptr; }
};

// The folder from `start` on, its subtree, then its later siblings with theirs.
FindHit FindInChain(const CKivDoc& doc, CFolderNode* folder, int start, std::string_view text,
                    const FindFields& fields);
// Everything after (folder, start) in that same order; nothing before it.
FindHit FindFrom(const CKivDoc& doc, CFolderNode* folder, int start, std::string_view text,
                 const FindFields& fields);

// The find command's part in the document: the next request starts at the top.
void BeginFind(CKivDoc& doc);

struct FindStep
{
    enum Outcome { nothing, hit, notFound };
    Outcome outcome = nothing;
    CFolderNode* folder = nullptr;
    int position = -1;
};

// One find-next request over the document's find state. A continuation starts in
// doc.m_pCurFolder, after the last hit's position: the caller makes the hit's folder
// current (the tree does so when it selects it).
FindStep FindNext(CKivDoc& doc, std::string_view searchText, const FindFields& fields);
