# Installation in the standard places of a Linux desktop, and the Debian package.
#
#   bin/                                  kiv, kivtool, kiv-print
#   share/kiv/                            help/kiv_index.html, Zezivezu.viv
#   share/applications/                   kiv.desktop, kiv-print.desktop
#   share/mime/packages/                  kiv.xml, kiv-print-document.xml
#   share/dbus-1/services/                org.halvane.Kiv.Application.service
#   share/dbus-1/interfaces/              org.halvane.Kiv.{Application,Document,Items,Item}.xml
#   share/icons/hicolor/<size>/{apps,mimetypes}/  kiv, application-x-kiv
#   share/metainfo/                       org.halvane.Kiv.metainfo.xml
#
# The program looks for its help page and print document beside itself first (the
# build tree) and then in ../share/kiv (an installation).
include(GNUInstallDirs)

set(kiv_data ${PROJECT_SOURCE_DIR}/data)
set(kiv_share_dir ${CMAKE_INSTALL_DATADIR}/kiv)

foreach(program kiv kivtool kiv-print)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# Files that name an installed program are written at install time, so the path
# follows the prefix given to cmake --install (or make install PREFIX=...). In the
# templates @KIV_BINDIR@ stands for the installed bin/; the print companion's entry,
# shared with the build tree, names "kiv-print" on the PATH and gets the full path.
function(kiv_install_naming_programs template destination name)
  install(CODE "
    set(bindir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(READ \"${template}\" text)
    string(REPLACE \"@KIV_BINDIR@\" \"\${bindir}\" text \"\${text}\")
    string(REPLACE \"\nExec=kiv-print \" \"\nExec=\${bindir}/kiv-print \" text \"\${text}\")
    set(out \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${name}\")
    message(STATUS \"Installing: \${out}\")
    file(WRITE \"\${out}\" \"\${text}\")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${out}\")
  ")
endfunction()

if(TARGET kiv-print)
  install(FILES ${PROJECT_SOURCE_DIR}/src/print/Zezivezu.viv DESTINATION ${kiv_share_dir})
  install(FILES ${PROJECT_SOURCE_DIR}/src/print/kiv-print-document.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  kiv_install_naming_programs(${PROJECT_SOURCE_DIR}/src/print/kiv-print.desktop
    ${CMAKE_INSTALL_DATADIR}/applications kiv-print.desktop)
endif()

# Everything else belongs to the window program.
if(NOT TARGET kiv)
  return()
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${kiv_share_dir}/help)
install(FILES ${kiv_data}/kiv.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
kiv_install_naming_programs(${kiv_data}/kiv.desktop.in
  ${CMAKE_INSTALL_DATADIR}/applications kiv.desktop)
kiv_install_naming_programs(${kiv_data}/org.halvane.Kiv.Application.service.in
  ${CMAKE_INSTALL_DATADIR}/dbus-1/services org.halvane.Kiv.Application.service)
# The bus interfaces the automation objects serve, for clients to build proxies from.
foreach(iface Application Document Items Item)
  install(FILES ${PROJECT_SOURCE_DIR}/src/integration/org.halvane.Kiv.${iface}.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/interfaces)
endforeach()

# Icons: the artwork's SVG as the scalable icon, and PNGs in the usual sizes rendered
# from it at build time.
find_package(Qt6 QUIET COMPONENTS Gui Svg)
if(TARGET Qt6::Svg)
  qt_add_executable(kiv-render-icon ${kiv_data}/RenderIcon.cpp)
  target_link_libraries(kiv-render-icon PRIVATE Qt6::Gui Qt6::Svg)
  set_target_properties(kiv-render-icon PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/tools)

  set(kiv_icon_sizes 16 22 24 32 48 64 128 256)
  set(kiv_icon_dir ${CMAKE_CURRENT_BINARY_DIR}/icons)
  set(kiv_icon_pngs)
  foreach(icon "apps;kiv;kiv.svg" "mimetypes;application-x-kiv;kivdoc.svg")
    list(GET icon 0 context)
    list(GET icon 1 name)
    list(GET icon 2 svg)
    set(svg ${PROJECT_SOURCE_DIR}/src/res/icons/${svg})
    set(outputs)
    foreach(size ${kiv_icon_sizes})
      list(APPEND outputs ${kiv_icon_dir}/${size}x${size}/${context}/${name}.png)
    endforeach()
    add_custom_command(OUTPUT ${outputs}
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
              $<TARGET_FILE:kiv-render-icon> ${svg} ${kiv_icon_dir} ${context} ${name} ${kiv_icon_sizes}
      DEPENDS kiv-render-icon ${svg}
      COMMENT "Rendering the ${name} icon")
    list(APPEND kiv_icon_pngs ${outputs})
    install(FILES ${svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/${context}
            RENAME ${name}.svg)
  endforeach()
  add_custom_target(kiv_icons ALL DEPENDS ${kiv_icon_pngs})
  install(DIRECTORY ${kiv_icon_dir}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
else()
  message(WARNING "Qt6 Svg not found: only the scalable icons are installed")
  install(FILES ${PROJECT_SOURCE_DIR}/src/res/icons/kiv.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/src/res/icons/kivdoc.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
          RENAME application-x-kiv.svg)
endif()

configure_file(${kiv_data}/org.halvane.Kiv.metainfo.xml.in
               ${CMAKE_CURRENT_BINARY_DIR}/org.halvane.Kiv.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/org.halvane.Kiv.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Installed straight into the system (no DESTDIR), refresh the desktop's caches the
# way a package's triggers would; staged installs leave that to the package.
install(CODE "set(kiv_datadir \"${CMAKE_INSTALL_DATADIR}\")")
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    set(share "${CMAKE_INSTALL_PREFIX}/${kiv_datadir}")
    find_program(kiv_update_mime update-mime-database)
    find_program(kiv_update_desktop update-desktop-database)
    find_program(kiv_update_icons gtk-update-icon-cache)
    if(kiv_update_mime)
      execute_process(COMMAND ${kiv_update_mime} "${share}/mime" OUTPUT_QUIET ERROR_QUIET)
    endif()
    if(kiv_update_desktop)
      execute_process(COMMAND ${kiv_update_desktop} -q "${share}/applications")
    endif()
    if(kiv_update_icons)
      execute_process(COMMAND ${kiv_update_icons} -q -t -f "${share}/icons/hicolor")
    endif()
  endif()
]])

# make package: a .deb whose dependencies come from the shared libraries. Qt loads
# its SVG support and the SQLite driver (Firefox's bookmarks) as plug-ins, which the
# library scan cannot see. The MIME database,
# desktop database and icon cache are refreshed by the file triggers of
# shared-mime-info, desktop-file-utils and the icon theme when this package puts files
# in their folders.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kiv)
set(CPACK_PACKAGE_VENDOR halvane)
set(CPACK_PACKAGE_CONTACT "Kiv <kiv@halvane.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bookmark manager keeping web bookmarks in folders")
set(CPACK_PACKAGE_DESCRIPTION
  "Kiv keeps web bookmarks as one collection in a .kiv file: a table of bookmarks\n\
(name, address, comment) and a tree of folders that list them. It imports, exports\n\
and compares Netscape bookmark files, Opera hotlists and Internet Explorer\n\
favorites, imports the bookmarks of Firefox and Chromium-family browser profiles\n\
and XBEL files, finds bookmarks that lead to one page and links that are dead,\n\
opens bookmarks in a browser and offers the collection to other programs over\n\
D-Bus. kivtool runs the same operations from the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.halvane.example/kiv/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "xdg-utils, libglib2.0-bin, shared-mime-info, desktop-file-utils, hicolor-icon-theme, dbus-user-session | dbus-x11, qt6-translations-l10n")
include(CPack)
