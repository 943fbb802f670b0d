#pragma once

#include "FormatResult.h"

#include <QString>

#include <string>
#include <string_view>

class CKivDoc;
class CTextLines;

// The Netscape bookmark file: an HTML list that every browser still reads and writes.
//
// The window's commands:
//   Export (32780): ask for the file (filter "Html Files (*.html;*.htm)|*.html; *.htm||",
//     default extension "html", prompt before overwrite), call ExportNetscape; on
//     fileError show the file-error message. No view hints; the document is unchanged.
//   Import (40004): ask for the file (filter "Bookmark Files (*.htm)|*.htm||", default
//     extension "htm", path must exist), wait cursor, call ImportNetscape;
//     wrongType: show messageId (16006); fileError: show the file-error message;
//     done: UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &doc.m_root), then HINT_REFRESH.
//     notOpened: nothing.

// The marker the first line must hold.
inline constexpr std::string_view kNetscapeMarker = "DOCTYPE NETSCAPE-Bookmark-file-1";

// The tag helpers of the line-based readers (Netscape and Opera files).
namespace KivTags {

// The position just after `tag` when `line`, past leading blanks and tabs, starts with
// it (exact bytes); -1 otherwise.
int MatchTag(std::string_view line, std::string_view tag);
// Every '<' becomes "&lt;" and every '>' "&gt;"; nothing else changes.
std::string EscapeAngles(std::string_view text);
// "&lt;" and "&gt;" back to '<' and '>'; every other entity stays as it stands.
std::string UnescapeAngles(std::string_view text);

} // namespace KivTags

// Writes the whole collection (root tree; never the trash or the check folder).
FormatResult ExportNetscape(const CKivDoc& doc, const QString& path);
// The first-line check, then the parse into the document's tree.
FormatResult ImportNetscape(CKivDoc& doc, const QString& path);

// Reads the remaining lines (the caller took the first). On import folders are
// created or reused below the root; in compare mode every new bookmark goes into the
// check folder and nothing else changes.
void ParseNetscapeFile(CKivDoc& doc, CTextLines& lines, bool compareMode);
