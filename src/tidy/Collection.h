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

// Takes the bookmarks out of every folder below the root and lists them in the trash.
void TrashEverywhere(CKivDoc& doc, const std::vector<uint32_t>& bookmarks);
