#pragma once

#include "formats/FormatResult.h"

#include <QtGlobal>

class CImportTree;
class CKivDoc;
class QByteArray;
class QFile;
class QString;

// The largest browser or XBEL file read. A profile with 100,000 bookmarks takes a few
// tens of megabytes; anything far beyond that is refused before it is read.
inline constexpr qint64 kMaxImportFileSize = qint64(128) << 20;

// Opens `file` (its name set) for reading: notOpened when it cannot be opened,
// wrongType (IDS_IMPORT_TOO_LARGE) when it is larger than kMaxImportFileSize.
FormatResult OpenImportFile(QFile& file);
// The whole file, by the same rules; fileError when reading fails midway.
FormatResult ReadImportFile(const QString& path, QByteArray* bytes);
// The message of a refused source.
FormatResult Refused(unsigned messageId);

// Reads a source with `read` and merges what it held; nothing changes when it is refused.
using ImportReader = FormatResult (*)(const QString& path, CImportTree& tree);
FormatResult ReadAndMerge(CKivDoc& doc, const QString& path, ImportReader read);
