# The folder tree and the bookmark list. They link nothing above them: settings,
# URL opening and document opening reach them as a context at creation, and what
# they ask of the window (menus, counts) leaves as signals.
add_library(kiv_views STATIC
  views/BookmarkListModel.cpp views/BookmarkListModel.h
  views/DragDrop.cpp views/DragDrop.h
  views/DropTarget.cpp views/DropTarget.h
  views/FolderTreeModel.cpp views/FolderTreeModel.h
  views/KivView.cpp views/KivView.h
  views/LeftView.cpp views/LeftView.h
  views/ViewContext.h
  views/ViewSupport.cpp views/ViewSupport.h
)
target_link_libraries(kiv_views PUBLIC kiv_transfer kiv_format_dialogs Qt6::Widgets Qt6::Gui)
