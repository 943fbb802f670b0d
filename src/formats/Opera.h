#pragma once

#include "FormatResult.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CKivDoc;
class CTextLines;

// The Opera hotlist, version 2 (".adr").
//
// The window's commands:
//   Export (32796): ask for the file (filter "Hotlist (*.adr)|*.adr||", default
//     extension "adr", prompt before overwrite), call ExportOpera; on fileError show
//     the file-error message. No view hints.
//   Import (32797): ask for the file (filter "Opera Files (*.adr)|*.adr||", default
//     extension "adr", path must exist), wait cursor, call ImportOpera;
//     wrongType: show messageId (16010); fileError: the file-error message;
//     done: UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &doc.m_root), then HINT_REFRESH.

inline constexpr std::string_view kOperaMarker = "Opera Hotlist version 2";

// Seconds since 1970 for the CREATED lines: SOURCE_DATE_EPOCH when it holds a number
// (so an export can be reproduced), else the current time.
int64_t HotlistClock();

// The lines of the hotlist; atMargin false: the line is indented with a tab. Line
// breaks inside a value are written as the two characters 0x02 0x02, as Opera stores
// them. `clock` is read once per folder chain.
using HotlistLineSink = std::function<void(bool atMargin, std::string_view text)>;
void WriteHotlistLines(const CKivDoc& doc, const std::function<int64_t()>& clock,
                       const HotlistLineSink& put);
// The same as the file's bytes (UTF-8, CR LF).
std::string HotlistText(const CKivDoc& doc, const std::function<int64_t()>& clock);
// Writes the collection.
FormatResult ExportOpera(const CKivDoc& doc, const QString& path,
                         const std::function<int64_t()>& clock = HotlistClock);
FormatResult ImportOpera(CKivDoc& doc, const QString& path);

// Reads the remaining lines (the caller took the first). In check mode every new
// bookmark goes into the check folder and no folder is created. What Opera's trash
// folder holds goes into the trash, as if deleted here (in check mode: nowhere).
void ParseHotlist(CKivDoc& doc, CTextLines& lines, bool checkMode);
