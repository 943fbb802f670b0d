#pragma once

#include "formats/FormatResult.h"

class CImportTree;
class CKivDoc;
class QByteArray;
class QString;

// The Chromium family (Chromium, Chrome, Brave, Vivaldi, Edge) keeps each profile's
// bookmarks in a JSON file named "Bookmarks": an object whose "roots" hold the
// bookmark bar, the other bookmarks and the mobile ("synced") bookmarks, each a tree
// of {"type":"folder","name":...,"children":[...]} and {"type":"url","name":...,"url":...}.

// The three roots become folders named as the browser shows them; an empty root is
// left out. A node of the wrong shape refuses the whole file (IDS_BAD_CHROMIUM);
// nesting beyond what the JSON reader takes refuses it with IDS_IMPORT_TOO_DEEP.
FormatResult ParseChromiumBookmarks(const QByteArray& json, CImportTree& tree);
// `path` is a Bookmarks file or a profile folder holding one.
FormatResult ReadChromiumBookmarks(const QString& path, CImportTree& tree);
// Reads, then merges; nothing changes when the file is refused.
FormatResult ImportChromium(CKivDoc& doc, const QString& path);
