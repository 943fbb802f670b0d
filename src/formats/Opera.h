#pragma once

#include "FormatResult.h"

#include <QString>

#include <cstdint>
#include <functional>
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

// Writes the collection; `clock` is read once per folder chain.
FormatResult ExportOpera(const CKivDoc& doc, const QString& path,
                         const std::function<int64_t()>& clock = HotlistClock);
FormatResult ImportOpera(CKivDoc& doc, const QString& path);

// Reads the remaining lines (the caller took the first). In check mode every new
// bookmark goes into the check folder and no folder is created.
void ParseHotlist(CKivDoc& doc, CTextLines& lines, bool checkMode);
