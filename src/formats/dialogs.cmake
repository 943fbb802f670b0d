# The option dialogs of the favorites import and export and of the compare.
target_sources(kiv_gui PRIVATE
  formats/CompareDlg.cpp formats/CompareDlg.h
  formats/FavoritesDlg.cpp formats/FavoritesDlg.h
)
