#pragma once

// The command vocabulary: every menu item, accelerator and toolbar button carries one
// of these numbers. The framework's standard commands keep their usual values.
enum : unsigned {
    // Application commands.
    ID_ITEM_NEW = 32777,          // new item in the list, new folder in the tree
    ID_ITEM_DELETE = 32778,
    ID_ITEM_EDIT = 32779,
    ID_EXPORT_NETSCAPE = 32780,
    ID_PREFERENCES = 32781,
    ID_EDIT_LABEL = 32782,
    ID_VIEW_SEARCHBAR = 32784,    // also the search bar's control-bar id
    ID_SEARCH_MENU = 32785,       // the search bar's ">" button
    ID_FIND_NEXT = 32786,
    ID_SEARCH_NAME_PROMPT = 32787, // prompt stored, no menu item uses it
    ID_SEARCH_NAME = 32788,
    ID_SEARCH_NAME_PROMPT2 = 32789, // prompt stored, no menu item uses it
    ID_SEARCH_COMMENT = 32790,
    ID_SEARCH_URL = 32791,
    ID_ITEM_OPEN = 32792,
    ID_EXPORT_IE = 32793,
    ID_CHECK_NEW = 32794,
    ID_ITEM_OPEN_NEW_WINDOW = 32795,
    ID_EXPORT_OPERA = 32796,
    ID_IMPORT_OPERA = 32797,
    ID_PRINT_WORD = 32798,
    ID_IMPORT_IE = 40003,
    ID_IMPORT_NETSCAPE = 40004,
    // Imports from the browsers' own collections, and XBEL both ways.
    ID_IMPORT_FIREFOX = 40110,
    ID_IMPORT_CHROMIUM = 40111,
    ID_IMPORT_XBEL = 40112,
    ID_EXPORT_XBEL = 40113,
    ID_EDIT_DUPLICATES = 32810,  // find and merge bookmarks that name one page
    ID_EDIT_CHECK_LINKS = 32811, // check the links of a folder or of the collection

    // Framework commands.
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_SEND_MAIL = 57612,
    ID_FILE_MRU_FILE1 = 57616,
    ID_FILE_MRU_FILE2 = 57617,
    ID_FILE_MRU_FILE3 = 57618,
    ID_FILE_MRU_FILE4 = 57619,
    ID_FILE_MRU_LAST = 57631,     // the framework reserves 16 numbers; 4 are used
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_FIND = 57636,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_INDEX = 57666,
    ID_HELP = 57670,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_VIEW_REBAR = 59396,
    ID_VIEW_SMALLICON = 59408,
    ID_VIEW_LARGEICON = 59409,
    ID_VIEW_LIST = 59410,
    ID_VIEW_DETAILS = 59411,
    ID_VIEW_LINEUP = 59412,

    // Control-bar and pane identifiers.
    AFX_IDW_TOOLBAR = 59392,
    AFX_IDW_STATUS_BAR = 59393,
    AFX_IDW_REBAR = 59396,
    AFX_IDW_PANE_FIRST = 59648,
};

// Resource numbers of the menus.
enum : unsigned {
    IDR_MENU_MAIN = 128,
    IDR_MENU_TREE = 131,
    IDR_MENU_LIST = 132,
    IDR_MENU_SEARCH = 137,
};

// The list's display styles, as the list view stores them in "ListStyle".
enum : int {
    LVS_ICON = 0,
    LVS_REPORT = 1,
    LVS_SMALLICON = 2,
    LVS_LIST = 3,
};
