# The document framework without windows: archive, document and views, command
# routing, settings, texts and the question interface. QtCore only.
add_library(kiv_framework STATIC
  framework/Archive.cpp framework/Archive.h
  framework/CmdTarget.cpp framework/CmdTarget.h
  framework/Profile.cpp framework/Profile.h
  framework/Ui.cpp framework/Ui.h
  framework/Document.cpp framework/Document.h
  framework/FileError.h
  framework/FileWriter.cpp framework/FileWriter.h
  framework/Text.cpp framework/Text.h
  framework/TextRules.cpp framework/TextRules.h
)
target_include_directories(kiv_framework PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# ICU (the library Qt's collator is built on) for sort keys that order names as it does.
find_package(ICU REQUIRED COMPONENTS uc i18n)
target_link_libraries(kiv_framework PUBLIC Qt6::Core PRIVATE ICU::uc ICU::i18n)
