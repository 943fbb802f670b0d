#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

// Browser collections written the way the browsers write them, for tests and
// benchmarks: a places.sqlite with Firefox's tables and a Chromium Bookmarks file.
namespace BrowserFixtures {

struct Node
{
    enum Kind { bookmark, folder, separator };
    Kind kind = bookmark;
    std::string name;
    std::string url;
    std::string comment; // Firefox only
    std::vector<Node> children;
};

Node Bookmark(std::string name, std::string url, std::string comment = {});
Node Folder(std::string name, std::vector<Node> children);
Node Separator();

// Firefox's roots, each a folder node (its name is not used).
struct PlacesRoots
{
    Node menu, toolbar, tags, unfiled, mobile;
};

enum class PlacesSchema {
    current, // roots by guid, page descriptions in moz_places.description
    legacy,  // roots listed in moz_bookmarks_roots, descriptions as item annotations
};

// Creates the database at `path` (which must not exist). A bookmark's URL is stored
// once in moz_places however many bookmarks point at it. False on any SQL failure.
bool WritePlaces(const QString& path, const PlacesRoots& roots,
                 PlacesSchema schema = PlacesSchema::current);

// The Bookmarks JSON with its three roots (each a folder node).
QByteArray ChromiumJson(const Node& bar, const Node& other, const Node& synced);

// A generated collection of `bookmarks` bookmarks in folders of `perFolder`, two
// levels deep, with pseudo-random names; the same for the same arguments.
Node Generated(int bookmarks, int perFolder);

} // namespace BrowserFixtures
