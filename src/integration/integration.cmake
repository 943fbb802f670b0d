# Browser integration without windows: the DDE client over the session bus, the
# registered-browser lookup and the ways of handing a URL to a browser.
set(kiv_dde_xml ${CMAKE_CURRENT_SOURCE_DIR}/integration/org.halvane.Dde.xml)
set_source_files_properties(${kiv_dde_xml} PROPERTIES CLASSNAME CDdeProxy NO_NAMESPACE ON)
qt_add_dbus_interface(kiv_dde_proxy_srcs ${kiv_dde_xml} DdeProxy)

add_library(kiv_integration STATIC
  integration/BrowserSettings.h
  integration/CommandLine.cpp integration/CommandLine.h
  integration/DdeClient.cpp integration/DdeClient.h
  integration/IntegrationLog.cpp integration/IntegrationLog.h
  integration/ProgramStarter.cpp integration/ProgramStarter.h
  integration/UrlOpener.cpp integration/UrlOpener.h
  integration/XdgBrowser.cpp integration/XdgBrowser.h
  ${kiv_dde_proxy_srcs}
)
target_include_directories(kiv_integration PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(kiv_integration PUBLIC kiv_core Qt6::Core Qt6::DBus)
