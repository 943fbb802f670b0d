# The window: the framework's widget half, the application, frame and views.
add_library(kiv_gui STATIC
  framework/QtUi.cpp framework/QtUi.h
  framework/ScriptedUi.cpp framework/ScriptedUi.h
  app/Commands.h
  app/DocCommands.cpp app/DocCommands.h
  app/KivApp.cpp app/KivApp.h
  app/ShellFileTypes.cpp app/ShellFileTypes.h
  frame/MainFrame.cpp frame/MainFrame.h
  frame/SearchBar.cpp frame/SearchBar.h
  res/Menus.cpp res/Menus.h
  res/Prompts.cpp res/Prompts.h
)
target_link_libraries(kiv_gui PUBLIC kiv_core Qt6::Widgets Qt6::Gui)
# Our own artwork: toolbar buttons (16 by 15) and the program's icons.
qt_add_resources(kiv_gui kiv_images PREFIX "/" BASE res FILES
  res/toolbar/new.svg res/toolbar/open.svg res/toolbar/save.svg
  res/toolbar/cut.svg res/toolbar/copy.svg res/toolbar/paste.svg res/toolbar/print.svg
  res/toolbar/largeicons.svg res/toolbar/smallicons.svg res/toolbar/list.svg
  res/toolbar/details.svg res/toolbar/about.svg
  res/icons/kiv.svg res/icons/kivdoc.svg)
# The print document's type and handler entry, written for the user at start as
# they are installed.
qt_add_resources(kiv_gui kiv_desktop_files PREFIX "/desktop" BASE print FILES
  print/kiv-print-document.xml print/kiv-print.desktop)
if(TARGET kiv_formats)
  target_link_libraries(kiv_gui PUBLIC kiv_formats)
endif()
if(TARGET kiv_transfer)
  target_link_libraries(kiv_gui PUBLIC kiv_transfer)
endif()
if(TARGET kiv_integration)
  target_link_libraries(kiv_gui PUBLIC kiv_integration)
endif()
target_link_libraries(kiv_gui PUBLIC kiv_automation)
# The lock-key panes read the keyboard's indicators where X11 tells them.
find_package(X11 QUIET)
if(X11_FOUND AND X11_Xkb_INCLUDE_PATH)
  target_compile_definitions(kiv_gui PRIVATE KIV_HAVE_X11)
  target_link_libraries(kiv_gui PRIVATE X11::X11)
endif()

# The folder tree, the bookmark list and their dialogs add their sources to kiv_gui,
# and so do the preferences sheet and the About box.
include(views/views.cmake OPTIONAL)
include(frame/dialogs.cmake OPTIONAL)
include(frame/dialogs.cmake OPTIONAL)   # preferences sheet, About box
include(formats/dialogs.cmake OPTIONAL) # favorites and compare options
include(tidy/dialogs.cmake OPTIONAL)    # duplicates, link checks

qt_add_executable(kiv main.cpp)
target_link_libraries(kiv PRIVATE kiv_gui)

# The help page lives in help/ beside the program, in the build tree as installed.
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
if(TARGET kiv-print)
  add_dependencies(kiv kiv-print)
endif()

install(TARGETS kiv RUNTIME DESTINATION bin)
install(FILES ${kiv_help_files} DESTINATION bin/help)
