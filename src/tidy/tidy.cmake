# Tidying a collection: duplicate URLs and dead links, the link checks' cache and the
# item models the dialogs show. QtCore, QtNetwork and QtSql; no widgets.
find_package(Qt6 REQUIRED COMPONENTS Network Sql)
add_library(kiv_tidy STATIC
  tidy/Collection.cpp tidy/Collection.h
  tidy/Duplicates.cpp tidy/Duplicates.h
  tidy/DupesModel.cpp tidy/DupesModel.h
  tidy/LinkCache.cpp tidy/LinkCache.h
  tidy/LinkChecker.cpp tidy/LinkChecker.h
  tidy/LinkResultsModel.cpp tidy/LinkResultsModel.h
  tidy/LinkStatus.cpp tidy/LinkStatus.h
  tidy/UrlKey.cpp tidy/UrlKey.h
)
target_link_libraries(kiv_tidy PUBLIC kiv_core Qt6::Network Qt6::Sql)
