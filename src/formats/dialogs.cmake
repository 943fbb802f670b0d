# The item dialog and the option dialogs of the favorites import and export and of
# the compare.
add_library(kiv_format_dialogs STATIC
  formats/CompareDlg.cpp formats/CompareDlg.h
  formats/FavoritesDlg.cpp formats/FavoritesDlg.h
  formats/ItemDialog.cpp formats/ItemDialog.h
)
target_link_libraries(kiv_format_dialogs PUBLIC kiv_formats kiv_framework_widgets)
