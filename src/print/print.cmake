# kiv-print, the print command's companion: it asks the running program for its
# collection over the bus and prints it. It needs no window of the program, so it
# is built without KIV_BUILD_GUI too.

# The print document lives beside the program in the build tree.
configure_file(print/Zezivezu.viv ${CMAKE_BINARY_DIR}/bin/Zezivezu.viv COPYONLY)

find_package(Qt6 REQUIRED COMPONENTS Gui Widgets PrintSupport)
add_library(kiv_print STATIC
  print/KivPrintCollection.cpp print/KivPrintCollection.h
  print/KivPrintLayout.cpp print/KivPrintLayout.h
)
target_include_directories(kiv_print PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kiv_print PUBLIC Qt6::Core Qt6::DBus Qt6::Gui)

qt_add_executable(kiv-print print/main.cpp)
target_link_libraries(kiv-print PRIVATE kiv_print Qt6::Widgets Qt6::PrintSupport)
