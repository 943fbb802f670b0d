#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class CKivDoc;
class CFolderNode;

// Bookmarks listed in folder or in any folder below it, each once, in walk order.
std::vector<uint32_t> BookmarksBelow(const CKivDoc& doc, const CFolderNode* folder);

// The folder a "/"-separated path names below the root, without creating any; the
// root for an empty path, null when a segment is missing.
const CFolderNode* FindFolderPath(const CKivDoc& doc, std::string_view path);

// Tells the views that bookmarks changed places anywhere in the tree: the folder tree
// catches up from the root, then the list refills.
void RefreshAllViews(CKivDoc& doc);
