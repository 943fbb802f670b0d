#pragma once

#include "FormatResult.h"

#include <QString>

#include <vector>

class CKivDoc;

// Compare: lists into the check folder every bookmark of the user's browsers whose URL
// the document does not know yet. The document is never marked modified.
//
// The window's command (32794): the compare dialog (its four fields loaded from and
// stored back to CheckPath, CheckSubFolder, CheckNSFile, CheckOperaFile), wait cursor,
// RunCompare(doc, sources); show each returned message in order (messageId when not 0,
// else the file-error message of `error`); then UpdateAllViews with HINT_SELECT_FOLDER
// and &doc.m_check, then HINT_REFRESH.

struct CompareSources
{
    QString favoritesFolder; // the IE folder; two bytes or less: no such source
    bool subfolders = false;
    QString netscapeFile;
    QString operaFile;
};

// Empties the check folder: its subfolders go, its list is cleared; the bookmarks it
// listed stay in the table (and so stay known).
void EmptyCheckFolder(CKivDoc& doc);

// One source each; a path of two bytes or less is skipped (notOpened, no error).
FormatResult CompareShortcuts(CKivDoc& doc, const QString& folder, bool subfolders);
// wrongType (16006) unless the first line holds the marker after its first byte.
FormatResult CompareNetscape(CKivDoc& doc, const QString& path);
// wrongType (16010) unless the first line holds the Opera marker.
FormatResult CompareOpera(CKivDoc& doc, const QString& path);

// The whole command after the dialog: the check folder emptied, then favorites,
// Netscape file, Opera hotlist, in that order; a failing source does not stop the
// others. Returns what is to be shown, in order (wrong types and read errors; files
// that cannot be opened are skipped silently). `unreadable`, when given, receives the
// sources that were named but could not be opened or listed (error says why).
std::vector<FormatResult> RunCompare(CKivDoc& doc, const CompareSources& sources,
                                     std::vector<FormatResult>* unreadable = nullptr);
