# The folder tree and the bookmark list, with the item dialog they open.
target_sources(kiv_gui PRIVATE
  views/BookmarkListModel.cpp views/BookmarkListModel.h
  views/DragDrop.cpp views/DragDrop.h
  views/DragDropTestHooks.cpp views/DragDropTestHooks.h
  views/DropTarget.cpp views/DropTarget.h
  views/FolderTreeModel.cpp views/FolderTreeModel.h
  views/KivView.cpp views/KivView.h
  views/LeftView.cpp views/LeftView.h
  views/ViewSupport.cpp views/ViewSupport.h
  formats/ItemDialog.cpp formats/ItemDialog.h
)
