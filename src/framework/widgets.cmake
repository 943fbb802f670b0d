# The framework's window half: questions as message boxes, and the scripted answers
# tests and automation give instead.
add_library(kiv_framework_widgets STATIC
  framework/QtUi.cpp framework/QtUi.h
  framework/ScriptedUi.cpp framework/ScriptedUi.h
)
target_link_libraries(kiv_framework_widgets PUBLIC kiv_framework kiv_strings Qt6::Widgets)
