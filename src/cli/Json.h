#pragma once

#include <string>
#include <string_view>

class CKivDoc;
struct CBookmark;

namespace KivJson {
// A JSON string literal (quotes included) for UTF-8 text.
std::string Quote(std::string_view text);
// {"url":...,"name":...,"comment":...}
std::string BookmarkObject(const CBookmark& b);
// The whole tree of a document, keys in a fixed order.
std::string Dump(const CKivDoc& doc);
} // namespace KivJson
