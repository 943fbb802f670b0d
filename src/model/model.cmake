# The collection: bookmark table, folder tree, URL lookup, file tables. With the
# framework and the string table below it, this is the window-free core.
add_library(kiv_core STATIC
  model/Bookmark.h
  model/FlatTree.cpp model/FlatTree.h
  model/KivDoc.cpp model/KivDoc.h
  model/KivDocEdits.cpp
  model/Journal.cpp model/Journal.h
  model/UrlIndex.cpp model/UrlIndex.h
  model/IndexSet.cpp model/IndexSet.h
)
target_link_libraries(kiv_core PUBLIC kiv_framework kiv_strings)
