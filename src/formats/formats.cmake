# Exchange formats (Netscape file, Opera hotlist, favorites folders), compare and
# find. QtCore only.
add_library(kiv_formats STATIC
  formats/ExportFile.cpp formats/ExportFile.h
  formats/TextLines.cpp formats/TextLines.h
  formats/FormatResult.h
  formats/ImportMerge.cpp formats/ImportMerge.h
  formats/Netscape.cpp formats/Netscape.h
  formats/Opera.cpp formats/Opera.h
  formats/PathName.cpp formats/PathName.h
  formats/ItemName.cpp formats/ItemName.h
  formats/ImportTarget.cpp formats/ImportTarget.h
  formats/Favorites.cpp formats/Favorites.h
  formats/Compare.cpp formats/Compare.h
  formats/Find.cpp formats/Find.h
)
target_link_libraries(kiv_formats PUBLIC kiv_core)
