# The window: the framework's widget half, the application, frame and views.
add_library(kiv_gui STATIC
  framework/QtUi.cpp framework/QtUi.h
  framework/ScriptedUi.cpp framework/ScriptedUi.h
)
target_link_libraries(kiv_gui PUBLIC kiv_core Qt6::Widgets Qt6::Gui)
