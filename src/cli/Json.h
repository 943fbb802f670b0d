#pragma once

#include <string>
#include <string_view>

class CKivDoc;

namespace KivJson {
// A JSON string literal (quotes included) for UTF-8 text.
std::string Quote(std::string_view text);
// The whole tree of a document, keys in a fixed order.
std::string Dump(const CKivDoc& doc);
}  // namespace KivJson
