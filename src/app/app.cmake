# The application: document commands, start-up, settings, file types; it makes the
# frame's window and serves as its host. The program kiv on top.
add_library(kiv_gui STATIC
  app/AppMain.cpp app/AppMain.h
  app/DocCommands.cpp app/DocCommands.h
  app/KivApp.cpp app/KivApp.h
  app/UndoHistory.cpp app/UndoHistory.h
  app/ShellFileTypes.cpp app/ShellFileTypes.h
  browsers/ProfileDlg.cpp browsers/ProfileDlg.h
)
# The print document's type and handler entry, written for the user at start as
# they are installed.
qt_add_resources(kiv_gui kiv_desktop_files PREFIX "/desktop" BASE print FILES
  print/kiv-print-document.xml print/kiv-print.desktop)
target_link_libraries(kiv_gui PUBLIC
  kiv_frame kiv_views kiv_menus kiv_format_dialogs kiv_tidy_dialogs kiv_integration
  kiv_automation kiv_browsers
  Qt6::Widgets Qt6::Gui)

qt_add_executable(kiv main.cpp)
target_link_libraries(kiv PRIVATE kiv_gui)

# The help page lives in help/ beside the program in the build tree.
set(kiv_help_files ${PROJECT_SOURCE_DIR}/help/kiv_index.html)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/bin/help/kiv_index.html
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin/help
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${kiv_help_files} ${CMAKE_BINARY_DIR}/bin/help/
  DEPENDS ${kiv_help_files}
  COMMENT "Copying the help page beside kiv")
add_custom_target(kiv_help ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/help/kiv_index.html)
add_dependencies(kiv kiv_help)
# The print command's companion lives beside kiv, like the print document.
add_dependencies(kiv kiv-print)
