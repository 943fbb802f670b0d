# Automation: the collection's object model on the session bus, the running
# document and the automation start-up half. The bus interfaces are described in
# XML beside the sources; their adaptors are generated from it.
include(GNUInstallDirs)

add_library(kiv_automation STATIC
  integration/AutomationObjects.cpp integration/AutomationObjects.h
  integration/AutomationServer.cpp integration/AutomationServer.h
  integration/AutomationService.cpp integration/AutomationService.h
)
target_link_libraries(kiv_automation PUBLIC kiv_core Qt6::Core Qt6::DBus)

# The bus starts the installed program for automation clients. Written at install
# time so that the Exec line follows the prefix given to cmake --install.
set(KIV_SERVICE_DIR "${CMAKE_INSTALL_DATADIR}/dbus-1/services")
install(CODE "
  set(kiv_service \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KIV_SERVICE_DIR}/org.halvane.Kiv.Application.service\")
  message(STATUS \"Installing: \${kiv_service}\")
  file(WRITE \"\${kiv_service}\" \"[D-BUS Service]\\nName=org.halvane.Kiv.Application\\nExec=\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kiv -Automation\\n\")
")
