# The duplicates and link-check dialogs, over the tidy library's models; the window
# opens them from its commands.
add_library(kiv_tidy_dialogs STATIC
  tidy/DupesDlg.cpp tidy/DupesDlg.h
  tidy/LinkCheckDlg.cpp tidy/LinkCheckDlg.h
)
target_link_libraries(kiv_tidy_dialogs PUBLIC kiv_tidy kiv_framework_widgets)
