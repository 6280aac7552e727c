# The Debian package (make deb, cpack -G DEB): the same programs and files as the release
# archive, laid out as a system install that settings/file_layout.h recognises: the programs in
# /usr/games, their data in /usr/share/games/zorvane, each user's settings under
# $XDG_CONFIG_HOME. It adds what a packaged game carries: menu entries, themed icons, AppStream
# metadata, manual pages, the copyright and the changelog. Its install rules are component
# `system`; the archive's are component `portable` (tools/dist/PerGenerator.cmake picks one).

set(ZORVANE_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
set(ZORVANE_DEBIAN_BUILD_DIR ${CMAKE_BINARY_DIR}/debian)
set(ZORVANE_SYSTEM_DATA share/games/zorvane)
set(ZORVANE_SYSTEM_DOC share/doc/zorvane)

install(TARGETS zorvane Config RUNTIME DESTINATION games COMPONENT system)
# In a system directory the settings tool needs a name of the game's own; it still starts the
# game it finds beside it.
install(CODE [[
  set(games "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/games")
  file(RENAME "${games}/Config" "${games}/zorvane-config")
]] COMPONENT system)

file(GLOB ZORVANE_SYSTEM_DATA_FILES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/assets/*.bmp
  ${PROJECT_SOURCE_DIR}/assets/*.wav)
install(FILES ${ZORVANE_SYSTEM_DATA_FILES} ${PROJECT_SOURCE_DIR}/assets/zorvane.ini
  DESTINATION ${ZORVANE_SYSTEM_DATA} COMPONENT system)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/hicolor DESTINATION share/icons COMPONENT system)

# The menu entries are the archive's, with Exec naming the installed programs. One source for
# both keeps their names, icons and actions alike.
function(zorvane_system_desktop_entry name)
  set(source ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${name}.desktop)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(STRINGS ${source} lines)
  set(entry "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^#")
      continue()  # notes on the archive's install script
    endif()
    string(REGEX REPLACE "^Exec=zorvane" "Exec=/usr/games/zorvane" line "${line}")
    string(REGEX REPLACE "^Exec=Config" "Exec=/usr/games/zorvane-config" line "${line}")
    string(APPEND entry "${line}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${ZORVANE_DEBIAN_BUILD_DIR}/${name}.desktop CONTENT "${entry}" @ONLY)
  install(FILES ${ZORVANE_DEBIAN_BUILD_DIR}/${name}.desktop DESTINATION share/applications
    COMPONENT system)
endfunction()
zorvane_system_desktop_entry(zorvane)
zorvane_system_desktop_entry(zorvane-config)

install(FILES ${ZORVANE_DEBIAN_DIR}/org.zorvane.zorvane.metainfo.xml DESTINATION share/metainfo
  COMPONENT system)
install(FILES ${ZORVANE_DEBIAN_DIR}/copyright DESTINATION ${ZORVANE_SYSTEM_DOC} COMPONENT system)

# Manual pages and the changelog go in compressed, without a time stamp in the gzip header, so
# that the same sources give the same package.
set(compressed)
foreach(pair zorvane.6:man6 zorvane-config.6:man6 changelog:doc)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 name)
  set(output ${ZORVANE_DEBIAN_BUILD_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9n < ${ZORVANE_DEBIAN_DIR}/${name} > ${output}
    DEPENDS ${ZORVANE_DEBIAN_DIR}/${name}
    VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(zorvane_debian_files ALL DEPENDS ${compressed})
install(FILES ${ZORVANE_DEBIAN_BUILD_DIR}/zorvane.6.gz ${ZORVANE_DEBIAN_BUILD_DIR}/zorvane-config.6.gz
  DESTINATION share/man/man6 COMPONENT system)
install(FILES ${ZORVANE_DEBIAN_BUILD_DIR}/changelog.gz DESTINATION ${ZORVANE_SYSTEM_DOC}
  COMPONENT system)

# The package's control data. Its dependencies come from dpkg-shlibdeps (the Qt X11 platform
# plugin is part of libqt6gui6). No library names the fonts: the dialog's is DejaVu Sans
# Condensed, the game's overlays are DejaVu Sans Mono, and its message boxes need the X core fonts.
set(CPACK_DEBIAN_PACKAGE_NAME zorvane)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Zorvane developers <zorvane@example.org>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-dejavu-extra, xfonts-base")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "two-player arcade game of sliding blocks for one keyboard
Two square blocks, a blue one and a red one, slide about a walled arena.
The arrow keys push the blue block, W, A, S and D the red one. The blocks
keep their momentum, slow down by friction, bounce off each other, and lose
health at every wall hit.
.
A settings tool, zorvane-config, sets how each block speeds up, slows down,
how big it is and how much a wall hurts it.")
