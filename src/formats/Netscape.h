#pragma once

#include "FormatResult.h"

#include <QString>

#include <functional>
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

// The marker the first line holds.
inline constexpr std::string_view kNetscapeMarker = "DOCTYPE NETSCAPE-Bookmark-file-1";

// The tag helpers of the line-based readers (Netscape and Opera files).
namespace KivTags {

// The position just after `tag` when `line`, past leading blanks and tabs, starts with
// it (exact bytes); -1 otherwise.
int MatchTag(std::string_view line, std::string_view tag);
// Text as HTML carries it: '&', '<', '>' and '"' as entities, and CR and LF as
// character references so that a text stays on its line.
std::string EscapeHtml(std::string_view text);
// The entities browsers write (&amp; &lt; &gt; &quot; &apos; &nbsp;) and numeric
// character references decoded; anything else stays as it stands.
std::string DecodeEntities(std::string_view text);

} // namespace KivTags

// The lines of the file, each with its depth of indentation (three blanks a level).
using IndentedLineSink = std::function<void(int depth, std::string_view text)>;
// The whole collection (root tree; never the trash or the check folder).
void WriteNetscapeLines(const CKivDoc& doc, const IndentedLineSink& put);
// The same as the file's bytes (UTF-8, CR LF).
std::string NetscapeText(const CKivDoc& doc);
FormatResult ExportNetscape(const CKivDoc& doc, const QString& path);

// Opens a bookmark file and reads it into the document (compareMode: into the check
// folder, see ParseNetscapeFile). A file is one when its first line holds the marker
// (in compare mode not at the very first byte), or, lacking that line, when it begins
// with the head tags of one (<META, <TITLE>, <H1>, comments) up to its first <DL>;
// anything else is wrongType with message 16006.
FormatResult ReadNetscapeFile(CKivDoc& doc, const QString& path, bool compareMode);
FormatResult ImportNetscape(CKivDoc& doc, const QString& path);

// Reads the lines that are left. On import folders are created or reused below the
// root; in compare mode every new bookmark goes into the check folder and nothing
// else changes.
void ParseNetscapeFile(CKivDoc& doc, CTextLines& lines, bool compareMode);
