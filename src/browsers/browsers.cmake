# Reading the browsers' own collections where they keep them (Firefox's places
# database, the Chromium family's Bookmarks file, profile discovery) and XBEL both
# ways. QtCore and QtSql only; the profile choice dialog joins the window's library.
find_package(Qt6 REQUIRED COMPONENTS Sql)
add_library(kiv_browsers STATIC
  browsers/ImportFile.cpp browsers/ImportFile.h
  browsers/ChromiumBookmarks.cpp browsers/ChromiumBookmarks.h
  browsers/FirefoxPlaces.cpp browsers/FirefoxPlaces.h
  browsers/Xbel.cpp browsers/Xbel.h
  browsers/BrowserProfiles.cpp browsers/BrowserProfiles.h
)
target_link_libraries(kiv_browsers PUBLIC kiv_formats Qt6::Sql)
