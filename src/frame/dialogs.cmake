# The preferences sheet, the About box and its link control.
target_sources(kiv_gui PRIVATE
  frame/AboutDlg.cpp frame/AboutDlg.h
  frame/HyperLink.cpp frame/HyperLink.h
  frame/Preferences.cpp frame/Preferences.h
)
