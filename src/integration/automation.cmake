# Automation: the collection's object model on the session bus, the running
# document, the automation start-up half, and the print companion kiv-print.
include(GNUInstallDirs)

add_library(kiv_automation STATIC
  integration/AutomationObjects.cpp integration/AutomationObjects.h
  integration/AutomationServer.cpp integration/AutomationServer.h
  integration/AutomationService.cpp integration/AutomationService.h
)
target_link_libraries(kiv_automation PUBLIC kiv_core Qt6::Core Qt6::DBus)

# The print document lives beside the program in the build tree.
configure_file(print/Zezivezu.viv ${CMAKE_BINARY_DIR}/bin/Zezivezu.viv COPYONLY)

# kiv-print needs no window of the program, so it is built without KIV_BUILD_GUI too.
if(NOT TARGET Qt6::PrintSupport)
  find_package(Qt6 QUIET COMPONENTS Gui Widgets PrintSupport)
endif()
if(TARGET Qt6::PrintSupport)
  add_library(kiv_print STATIC
    print/KivPrintCollection.cpp print/KivPrintCollection.h
    print/KivPrintLayout.cpp print/KivPrintLayout.h
  )
  target_include_directories(kiv_print PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(kiv_print PUBLIC Qt6::Core Qt6::DBus Qt6::Gui)

  qt_add_executable(kiv-print print/main.cpp)
  target_link_libraries(kiv-print PRIVATE kiv_print Qt6::Widgets Qt6::PrintSupport)
endif()
