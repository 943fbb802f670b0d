# The main window and its dialogs: toolbar, search bar, status bar, the preferences
# sheet, the About box and its link control. Built into the application's library:
# the frame is made by the application and works on its settings and router.
target_sources(kiv_gui PRIVATE
  frame/AboutDlg.cpp frame/AboutDlg.h
  frame/HyperLink.cpp frame/HyperLink.h
  frame/MainFrame.cpp frame/MainFrame.h
  frame/Preferences.cpp frame/Preferences.h
  frame/SearchBar.cpp frame/SearchBar.h
)
# The lock-key panes read the keyboard's indicators where X11 tells them.
find_package(X11 QUIET)
if(X11_FOUND AND X11_Xkb_INCLUDE_PATH)
  target_compile_definitions(kiv_gui PRIVATE KIV_HAVE_X11)
  target_link_libraries(kiv_gui PRIVATE X11::X11)
endif()
