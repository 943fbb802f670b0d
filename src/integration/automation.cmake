# Automation: the collection's object model on the session bus, the running
# document and the automation start-up half. The bus interfaces are described in
# XML beside the sources; their adaptors are generated from it.

# One adaptor per interface: the XML file is the interface's only description, and
# the adaptor forwards each call to the object's member of the same name.
set(kiv_bus_xml ${CMAKE_CURRENT_SOURCE_DIR}/integration/org.halvane.Kiv)
qt_add_dbus_adaptor(kiv_automation_adaptor_srcs ${kiv_bus_xml}.Items.xml
  integration/AutomationObjects.h CKivItems KivItemsAdaptor CKivItemsAdaptor)
qt_add_dbus_adaptor(kiv_automation_adaptor_srcs ${kiv_bus_xml}.Item.xml
  integration/AutomationObjects.h CKivItem KivItemAdaptor CKivItemAdaptor)
qt_add_dbus_adaptor(kiv_automation_adaptor_srcs ${kiv_bus_xml}.Document.xml
  integration/AutomationObjects.h CKivDocObject KivDocumentAdaptor CKivDocumentAdaptor)
qt_add_dbus_adaptor(kiv_automation_adaptor_srcs ${kiv_bus_xml}.Application.xml
  integration/AutomationServer.h CAutomationClassFactory KivApplicationAdaptor
  CKivApplicationAdaptor)

add_library(kiv_automation STATIC
  integration/AutomationObjects.cpp integration/AutomationObjects.h
  integration/AutomationServer.cpp integration/AutomationServer.h
  integration/AutomationService.cpp integration/AutomationService.h
  ${kiv_automation_adaptor_srcs}
)
target_include_directories(kiv_automation PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(kiv_automation PUBLIC kiv_core Qt6::Core Qt6::DBus)
