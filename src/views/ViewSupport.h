#pragma once

#include <QByteArray>
#include <QIcon>

#include <string>
#include <vector>

class QWidget;

// What both panes share: their pictures (drawn by the program itself), the move to
// the next pane and putting payloads on the clipboard.

// The pictures of the two panes.
namespace KivImages {

// Folder tree images, by index.
enum TreeImage {
    IMG_FOLDER = 0,
    IMG_FOLDER_OPEN = 1,
    IMG_DESKTOP = 2,
    IMG_TRASH_EMPTY = 3,
    IMG_TRASH_FULL = 4,
    IMG_CHECK_EMPTY = 5,
    IMG_CHECK_FULL = 6,
    IMG_TREE_COUNT = 7,
};

// One of the seven tree images (16 by 16).
QIcon Tree(int index);
// The row icon of the list: a web page (16 by 16) and, large, a page with a globe.
QIcon Row();

}  // namespace KivImages

namespace KivPanes {

// Gives the keyboard focus to the pane after the one holding `from` in the nearest
// splitter, cycling; false when `from` is not inside a splitter.
bool ActivateNextPane(QWidget* from);

}  // namespace KivPanes

namespace KivViewClipboard {

// Puts a payload of the private format on the system clipboard, replacing what was
// there, with the URLs as text for other programs; an empty payload places nothing.
void Put(const QByteArray& payload, const std::vector<std::string>& urls = {});

}  // namespace KivViewClipboard
