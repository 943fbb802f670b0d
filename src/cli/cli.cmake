# kivtool: the collection from the command line.
add_library(kiv_cli STATIC
  cli/Json.cpp cli/Json.h
  cli/KivTool.cpp cli/KivTool.h
)
target_link_libraries(kiv_cli PUBLIC kiv_core kiv_formats kiv_browsers kiv_tidy)

qt_add_executable(kivtool cli/main.cpp)
target_link_libraries(kivtool PRIVATE kiv_cli)
