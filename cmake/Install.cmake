# SPDX-License-Identifier: GPL-3.0-or-later
# Installing brelo the way Linux desktops expect it: the two programs, their modules (GDAL,
# and brelo-cli's renderer), the menu entry, the icon in the hicolor theme, the MIME type of
# JNX files, AppStream metadata and manual pages; and a Debian package of the same through CPack.
include(GNUInstallDirs)

install(TARGETS brelo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Both programs look for their modules in ../lib/brelo beside their own folder.
install(TARGETS brelo-gdal LIBRARY DESTINATION lib/brelo)
if(BRELO_GUI)
  install(TARGETS brelo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # brelo-cli looks for it in ../lib/brelo beside its own folder.
  install(TARGETS brelo-render LIBRARY DESTINATION lib/brelo)
  set(DESKTOP ${PROJECT_SOURCE_DIR}/resources/desktop)
  install(FILES ${DESKTOP}/org.brelo.brelo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${DESKTOP}/org.brelo.brelo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  install(FILES ${DESKTOP}/org.brelo.brelo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${DESKTOP}/org.brelo.brelo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 128 256)
    install(FILES ${DESKTOP}/icon-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME org.brelo.brelo.png)
  endforeach()
endif()

# Manual pages from the programs' own --help and --version, with help2man.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(MAN_PROGRAMS brelo-cli)
  if(BRELO_GUI)
    list(APPEND MAN_PROGRAMS brelo)
  endif()
  set(MAN_PAGES "")
  foreach(program IN LISTS MAN_PROGRAMS)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-man.sh $<TARGET_FILE:${program}> ${page}
      DEPENDS ${program} ${PROJECT_SOURCE_DIR}/scripts/make-man.sh
      COMMENT "Manual page of ${program}")
    list(APPEND MAN_PAGES ${page}.gz)
  endforeach()
  add_custom_target(man ALL DEPENDS ${MAN_PAGES})
  install(FILES ${MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no manual pages (scripts/install-deps.sh installs it)")
endif()

set(CPACK_PACKAGE_NAME brelo)
set(CPACK_PACKAGE_VENDOR brelo)
set(CPACK_PACKAGE_CONTACT "brelo developers <brelo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "view, edit and convert JNX raster maps for GPS receivers")
set(CPACK_PACKAGE_DESCRIPTION "brelo opens the tiled JPEG raster maps in the JNX format that handheld GPS
receivers show as an imagery layer: it draws and edits them, saves maps, levels and tiles,
overlays GPX tracks, exports calibrated tile sets and builds maps from calibrated pictures.
brelo-cli does the same from the command line.")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries come from dpkg-shlibdeps; Qt's window-system plugins are loaded, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
