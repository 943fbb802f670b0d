#pragma once

#include <QString>

struct CFileError;

// The string tables: one per language, chosen from the user's UI language
// (German 1031, French 1036, anything else the 1033 table).
namespace KivStrings {

enum Language { Lang1031 = 1031, Lang1033 = 1033, Lang1036 = 1036 };

// The table for the current UI language, or the one set for tests.
Language CurrentLanguage();
void SetLanguage(Language lang);
void ResetLanguage(); // back to the user's language

// The text of a string id in the current table; empty when the id has none.
QString Load(unsigned id);
QString Load(unsigned id, Language lang);

// The framework's standard message for a failed open or save.
QString FileErrorText(const CFileError& error);

}  // namespace KivStrings

// Framework string ids used by the document and file paths.
enum : unsigned {
    AFX_IDS_APP_TITLE = 57344,
    AFX_IDS_IDLEMESSAGE = 57345,
    AFX_IDS_UNTITLED = 61443,
    AFX_IDP_ASK_TO_SAVE = 61699,
    AFX_IDP_FAILED_TO_OPEN_DOC = 61701,
    AFX_IDP_FAILED_TO_SAVE_DOC = 61702,
    AFX_IDP_FILE_NONE = 61704,
    AFX_IDP_FILE_GENERIC = 61705,
    AFX_IDP_FILE_NOT_FOUND = 61706,
    AFX_IDP_FILE_BAD_PATH = 61707,
    AFX_IDP_FILE_ACCESS_DENIED = 61710,
    AFX_IDP_FILE_DISKFULL = 61715,
    AFX_IDP_FILE_BAD_FORMAT = 61728,
    AFX_IDP_FILE_WRITE_GENERIC = 61735, // our own: a failed write that is not a full disk
    AFX_IDP_FILE_NOT_REGULAR = 61736,   // our own: a pipe or device where a file belongs
    AFX_IDP_FILE_NOT_OURS = 61737,      // our own: not a collection file
    AFX_IDP_FILE_NEWER = 61738,         // our own: a collection of a newer version
    AFX_IDP_FILE_NO_MEMORY = 61739,     // our own: the content does not fit in memory
    AFX_IDP_FILE_TOO_LARGE = 61740,     // our own: beyond what the reader accepts
};

// The application's own string ids.
enum : unsigned {
    IDR_MAINFRAME = 128,
    IDS_DELETE_NODE = 16000,
    IDS_PREFERENCES = 16001,
    IDS_NEW = 16002,
    IDS_COL_NAME = 16003,
    IDS_COL_URL = 16004,
    IDS_COL_COMMENT = 16005,
    IDS_WRONG_NETSCAPE = 16006,
    IDS_ROOT = 16007,
    IDS_TRASH = 16008,
    IDS_CHECK = 16009,
    IDS_WRONG_OPERA = 16010,
    IDS_ITEM_COUNT = 16011,
    IDS_NO_PRINT_DOC = 16012,
    IDS_PASTE_DAMAGED = 16020, // clipboard data ended early or broke its rules
    IDS_TOO_DEEP = 16021,      // a move or paste would nest folders beyond the file's limit
    IDS_PRINT_NOT_STARTED = 16030, // no program opens the print document
    IDS_MAIL_NOT_STARTED = 16031,  // no mail program took the document
    IDS_REPLACE_FILE = 16040,  // a save dialog's name is an existing file (%1: its name)
    IDS_URL_IS_OPTION = 16041, // a URL that a browser would read as an option is not opened
    // Browser profiles and XBEL.
    IDS_BAD_FIREFOX = 16100,   // not a Firefox bookmark database, or a damaged one
    IDS_BAD_CHROMIUM = 16101,  // not a Chromium bookmark file, or a damaged one
    IDS_BAD_XBEL = 16102,      // not an XBEL 1.0 file, or a damaged one
    IDS_IMPORT_TOO_LARGE = 16103,
    IDS_IMPORT_TOO_DEEP = 16104,
    IDS_XBEL_ENTITIES = 16105, // the file declares entities of its own
    IDS_NO_PROFILES = 16106,
    IDS_NO_SQLITE = 16107,     // Qt's SQLite driver is not installed
    IDS_FIREFOX_MENU = 16110,  // the browsers' own top folders, as they show them
    IDS_FIREFOX_TOOLBAR = 16111,
    IDS_FIREFOX_OTHER = 16112,
    IDS_FIREFOX_MOBILE = 16113,
    IDS_CHROMIUM_BAR = 16114,
    IDS_CHROMIUM_OTHER = 16115,
    IDS_CHROMIUM_MOBILE = 16116,
    // Refusals of a folder dropped where it cannot go.
    IDS_DROP_ON_ITSELF = 16050,
    IDS_DROP_ON_PARENT = 16051,
    IDS_DROP_ON_CHECK = 16052,
    IDS_DROP_ON_CHILD = 16053,
    // The Edit menu's undo and redo.
    IDS_UNDO_ACTION = 16200,   // Edit menu: undo (%1: what the step did)
    IDS_REDO_ACTION = 16201,   // Edit menu: redo (%1: what the step did)
    // What a step did, one per step kind; counted ones hold "one\nmany (%1)".
    IDS_STEP_CHANGE = 16202,
    IDS_STEP_ADD_BOOKMARKS = 16203,
    IDS_STEP_DELETE_BOOKMARKS = 16204,
    IDS_STEP_MOVE_BOOKMARKS = 16205,
    IDS_STEP_COPY_BOOKMARKS = 16206,
    IDS_STEP_EDIT_BOOKMARK = 16207,
    IDS_STEP_NEW_FOLDER = 16208,
    IDS_STEP_RENAME_FOLDER = 16209,
    IDS_STEP_MOVE_FOLDER = 16210,
    IDS_STEP_DELETE_FOLDER = 16211,
    IDS_STEP_COMPARE = 16212,
    IDS_STEP_MERGE_BOOKMARKS = 16213, // duplicates merged: counts those that went
    IDS_STEP_COPY_TO_CHECK = 16214,   // bookmarks listed in the check folder by hand
    IDS_STEP_UPDATE_URLS = 16215,     // addresses replaced by where they moved to
    // Duplicates and link checks.
    IDS_NO_DUPLICATES = 16300,   // the duplicate search found nothing
    IDS_MERGE_ASK = 16301,       // %1 bookmarks merged into %2 groups, the others trashed
    IDS_TRASH_DEAD_ASK = 16302,  // %1 bookmarks with dead links to the trash
    IDS_LINK_CACHE_FAILED = 16303, // check results cannot be kept (%1: why)
    IDS_LINKS_PROGRESS = 16304,  // %1 of %2 checked: %3 reached, %4 dead, %5 not checked
    IDS_UPDATE_REDIRECTS_ASK = 16305, // %1 bookmarks get the URL they redirect to for good
    IDS_LINK_STATUS_FIRST = 16310, // the twelve link statuses, in their order
};
