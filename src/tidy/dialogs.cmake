# The duplicates and link-check dialogs.
target_sources(kiv_gui PRIVATE
  tidy/DupesDlg.cpp tidy/DupesDlg.h
  tidy/LinkCheckDlg.cpp tidy/LinkCheckDlg.h
)
target_link_libraries(kiv_gui PUBLIC kiv_tidy)
