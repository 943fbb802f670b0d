# Automation: the collection's object model on the session bus, the running
# document and the automation start-up half. The bus interfaces are described in
# XML beside the sources; their adaptors are generated from it.

add_library(kiv_automation STATIC
  integration/AutomationObjects.cpp integration/AutomationObjects.h
  integration/AutomationServer.cpp integration/AutomationServer.h
  integration/AutomationService.cpp integration/AutomationService.h
)
target_link_libraries(kiv_automation PUBLIC kiv_core Qt6::Core Qt6::DBus)
