# The main window and its dialogs: toolbar, search bar, status bar, the preferences
# sheet, the About box and its link control. It links nothing above it: what it needs
# of the application (settings, router, recent files, opening) reaches it through
# the CFrameHost the application implements.
add_library(kiv_frame STATIC
  frame/AboutDlg.cpp frame/AboutDlg.h
  frame/FrameHost.h
  frame/HyperLink.cpp frame/HyperLink.h
  frame/MainFrame.cpp frame/MainFrame.h
  frame/Preferences.cpp frame/Preferences.h
  frame/SearchBar.cpp frame/SearchBar.h
)
target_link_libraries(kiv_frame PUBLIC kiv_views kiv_menus kiv_integration Qt6::Widgets Qt6::Gui)
# The lock-key panes read the keyboard's indicators where X11 tells them.
find_package(X11 QUIET)
if(X11_FOUND AND X11_Xkb_INCLUDE_PATH)
  target_compile_definitions(kiv_frame PRIVATE KIV_HAVE_X11)
  target_link_libraries(kiv_frame PRIVATE X11::X11)
endif()
