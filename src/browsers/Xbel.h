#pragma once

#include "formats/FormatResult.h"

class CImportTree;
class CKivDoc;
class QIODevice;
class QString;

// XBEL 1.0, the desktop's bookmark exchange format: <xbel> holding <folder> (with a
// <title>), <bookmark href> (with <title> and <desc>) and <separator>.

// Reads folders and bookmarks; separators, aliases, <info> and anything unknown are
// skipped. The file may name a DTD but is never made to load one, and a file that
// declares entities of its own is refused (IDS_XBEL_ENTITIES), so no entity can
// expand; a file that is not well-formed XBEL is refused with IDS_BAD_XBEL.
FormatResult ParseXbel(QIODevice& in, CImportTree& tree);
FormatResult ReadXbel(const QString& path, CImportTree& tree);
FormatResult ImportXbel(CKivDoc& doc, const QString& path);

// Writes the collection below the root (never the trash or the check folder) as
// well-formed UTF-8 XBEL: each folder's bookmarks, then its subfolders.
FormatResult ExportXbel(const CKivDoc& doc, const QString& path);
