#pragma once

#include "FormatResult.h"
#include "PathName.h"

#include <QString>

#include <string>
#include <string_view>

class CKivDoc;
class CFolderNode;

// Favorites folders: a directory tree of ".url" shortcut files, one per bookmark, one
// subdirectory per folder. Listings are taken in name order, case-insensitively, so
// results never depend on the order the file system happens to keep.
//
// The window's commands:
//   Import (40003): the import dialog (folder, "Incluir subcarpetas", "Borrar acceso
//     directo"), wait cursor, ImportShortcuts(doc, folder, subfolders, delete), then
//     UpdateAllViews with HINT_SYNC_FOLDER and &doc.m_root, HINT_REFRESH, and
//     HINT_NEW_FAVORITES; then the file-error message of a shortcut skipped for its size.
//   Export (32793): the export dialog (folder preset to FavoritesFolder(), "Quitar
//     accesos directos previos" preset to the remembered XptIEDel), wait cursor,
//     ExportShortcuts(doc, folder, removeOld). No hints; the file-error message
//     of a shortcut that could not be written.

// $HOME/Favorites when it exists, else empty. DesktopFolder(): the XDG desktop folder
// when it exists, else empty. The dialogs list only the folders that resolve.
QString FavoritesFolder();
QString DesktopFolder();

// The shortcut's URL: key "URL" of section "InternetShortcut" (both matched without
// regard to case, blanks around the value dropped, surrounding quotes dropped, read
// whole). False when there is no such value or it is empty.
bool ParseUrlShortcut(std::string_view bytes, std::string& outUrl);
// Reads the file, only a regular one; on success outName is its title (name without
// the extension). A file too large for a shortcut is refused with error tooLarge.
bool ReadUrlShortcut(const QString& path, std::string& outName, std::string& outUrl,
                     CFileError* error = nullptr);

// Reads `directory` (and its subdirectories when doc.m_bWalkSubfolders) into the tree
// at relPath ("/"-separated below the root), or into the check folder in check mode.
// Each shortcut read is deleted afterwards when doc.m_bDeleteShortcuts. Shortcuts that
// are symbolic links leading out of `directory` are not read. False when the directory
// cannot be listed (nothing is added then); `skipped` gets the first shortcut left out
// for its size.
bool WalkShortcutFolder(CKivDoc& doc, const QString& directory, const std::string& relPath,
                        bool checkMode, CFileError* skipped = nullptr);
// The walk from the top of `folder`: notOpened (error says why) when it cannot be
// listed, fileError when a shortcut was left out for its size (the rest is read).
FormatResult WalkShortcutsFrom(CKivDoc& doc, const QString& folder, bool checkMode);
// The import body: sets the two walk switches, then WalkShortcutsFrom.
FormatResult ImportShortcuts(CKivDoc& doc, const QString& folder, bool subfolders,
                             bool deleteFiles);

// The export body: the root's bookmarks into `directory`, each folder as a
// subdirectory. Existing shortcuts are never overwritten; with removeOld, shortcuts
// and subdirectories that match no bookmark or folder are removed. Sibling folders
// whose file names are equal without regard to case share one subdirectory (the first
// one's name), written and cleaned together. Nothing outside `directory` is ever
// created, written or deleted, and symbolic links are never followed when creating or
// deleting. A name too long for a file name is cut (never inside a character, ".url"
// kept) to one the folder does not use yet. notOpened when `directory` is not a folder;
// fileError (the first failure) when a shortcut could not be written whole, the others
// are written all the same.
FormatResult ExportShortcuts(const CKivDoc& doc, const QString& directory, bool removeOld);
// Removes the shortcuts below `directory`, and the folders left empty, itself included;
// never follows a symbolic link.
void RemoveShortcutTree(const CPathName& directory);
