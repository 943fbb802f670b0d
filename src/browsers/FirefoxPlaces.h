#pragma once

#include "formats/FormatResult.h"

#include <QString>

class CImportTree;
class CKivDoc;

// Firefox (and the forks that keep its profile layout) keeps bookmarks in the
// profile's places.sqlite: moz_bookmarks (folders, bookmarks, separators by parent
// and position) over moz_places (the URLs). The browser may be running and holds the
// database locked, so the reader copies the file (with its write-ahead log) into a
// temporary folder and reads the copy; the profile's files are only ever read.

// The menu, toolbar, other and mobile roots become folders named as the browser
// shows them (an empty root is left out), with their bookmarks in the browser's
// order; separators, the tags root and "place:" queries are not bookmarks.
// Descriptions come from the items' description annotations, else from the page
// description column where the database has one.
// A file that is not such a database, or a damaged one: IDS_BAD_FIREFOX.
FormatResult ReadFirefoxPlaces(const QString& placesFile, CImportTree& tree);
// A profile folder stands for its places.sqlite.
QString FirefoxPlacesFile(const QString& profileOrFile);
// Reads (profile folder or places.sqlite), then merges; nothing changes when refused.
FormatResult ImportFirefox(CKivDoc& doc, const QString& profileOrFile);
