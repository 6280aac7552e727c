# The release package: `make dist` (cpack -G TGZ) packs the app directory as it ships, the two
# programs with their settings file, artwork, sounds and icons, plus what a player needs to set
# it up: desktop entries, their install script and a README. It unpacks into one directory that
# runs from wherever it lies, since each program finds its files beside itself. Its install
# rules are component `portable`; `make deb` packs component `system` (DebianPackage.cmake).

# Packing builds nothing: `make dist` builds first, and the package test packs the tree it tests
# without rebuilding everything under the running tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS zorvane Config RUNTIME DESTINATION . COMPONENT portable)

# The files assets/ stages next to the programs; the package test checks that the two agree.
file(GLOB ZORVANE_DIST_ASSETS CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/assets/*.bmp
  ${PROJECT_SOURCE_DIR}/assets/*.wav
  ${PROJECT_SOURCE_DIR}/assets/*.png
  ${PROJECT_SOURCE_DIR}/assets/zorvane.ini)
install(FILES ${ZORVANE_DIST_ASSETS} DESTINATION . COMPONENT portable)

install(FILES
  ${CMAKE_CURRENT_LIST_DIR}/zorvane.desktop
  ${CMAKE_CURRENT_LIST_DIR}/zorvane-config.desktop
  ${CMAKE_CURRENT_LIST_DIR}/README.txt
  DESTINATION . COMPONENT portable)
install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/install-desktop-entries.sh DESTINATION .
  COMPONENT portable)

include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)

string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" ZORVANE_DIST_SYSTEM)
set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME zorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME zorvane-${PROJECT_VERSION}-${ZORVANE_DIST_SYSTEM})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Players get no debug information.
set(CPACK_STRIP_FILES ON)
# Each package holds one component, chosen per generator when cpack runs.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PerGenerator.cmake)
include(CPack)
