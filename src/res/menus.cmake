# Menus, accelerators, the toolbar, the status prompts and our own artwork: toolbar
# buttons (16 by 15) and the program's icons.
add_library(kiv_menus STATIC
  res/Menus.cpp res/Menus.h
  res/Prompts.cpp res/Prompts.h
)
target_link_libraries(kiv_menus PUBLIC kiv_strings Qt6::Widgets Qt6::Gui)
qt_add_resources(kiv_menus kiv_images PREFIX "/" BASE res FILES
  res/toolbar/new.svg res/toolbar/open.svg res/toolbar/save.svg
  res/toolbar/cut.svg res/toolbar/copy.svg res/toolbar/paste.svg res/toolbar/print.svg
  res/toolbar/largeicons.svg res/toolbar/smallicons.svg res/toolbar/list.svg
  res/toolbar/details.svg res/toolbar/about.svg
  res/icons/kiv.svg res/icons/kivdoc.svg)
