# The string table in the program's languages, and the command ids. QtCore only.
add_library(kiv_strings STATIC
  res/Commands.h
  res/Strings.cpp res/Strings.h
)
target_link_libraries(kiv_strings PUBLIC kiv_framework)
