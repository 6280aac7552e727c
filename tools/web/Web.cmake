# The game for the browser (make web): the same sources built by Emscripten, without Qt, X11 or
# ENet. SDL2 comes from Debian's source package, built for the browser once by build-sdl2.sh and
# found through SDL2_DIR (Emscripten's own SDL2 port cannot be built offline). Gives, in
# ZORVANE_SITE_DIR, the page and what it loads: zorvane.js, zorvane.wasm and zorvane.data (the
# bitmaps, the waves and the default settings); and zorvane-replay for node, which runs the replay
# scripts.
if(NOT EMSCRIPTEN)
  message(FATAL_ERROR "ZORVANE_WEB builds with Emscripten: emcmake cmake -DZORVANE_WEB=ON ...")
endif()
set(ZORVANE_SITE_DIR ${CMAKE_BINARY_DIR}/site CACHE PATH "Where the page and its files go")

# The game's run-time errors are C++ exceptions.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

find_package(SDL2 REQUIRED CONFIG)

# fast_float and {fmt} are header-only: copies of Debian's headers, since the host's include
# directory cannot be searched (its C library's headers would stand in for Emscripten's).
find_path(ZORVANE_FMT_HEADERS fmt/format.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(ZORVANE_FAST_FLOAT_HEADERS fast_float/fast_float.h PATHS /usr/include
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(header_copies ${CMAKE_BINARY_DIR}/debian-headers)
file(COPY ${ZORVANE_FMT_HEADERS}/fmt ${ZORVANE_FAST_FLOAT_HEADERS}/fast_float
     DESTINATION ${header_copies})
add_library(fmt::fmt-header-only INTERFACE IMPORTED)
target_include_directories(fmt::fmt-header-only SYSTEM INTERFACE ${header_copies})
target_compile_definitions(fmt::fmt-header-only INTERFACE FMT_HEADER_ONLY=1)
add_library(FastFloat::fast_float INTERFACE IMPORTED)
target_include_directories(FastFloat::fast_float SYSTEM INTERFACE ${header_copies})

add_subdirectory(settings)
add_subdirectory(game)

# The page's program: what the page loads, beside the page itself.
set(data_files bg.bmp blueblock.bmp bluedead.bmp redblock.bmp reddead.bmp hitwall.wav bang.wav
               zorvane.ini)
set(packed)
foreach(name ${data_files})
  list(APPEND packed "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/assets/${name}@/zorvane/${name}")
  set_property(TARGET zorvane APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/assets/${name})
endforeach()
target_link_options(zorvane PRIVATE
  ${packed}
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  # SDL's audio needs these JavaScript functions of Emscripten's: the first resumes the browser's
  # audio context at the first key or click. In a file, since make and the shell would take $.
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_CURRENT_LIST_DIR}/audio-library-functions.json)
set_target_properties(zorvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ZORVANE_SITE_DIR} SUFFIX .js)
configure_file(${CMAKE_CURRENT_LIST_DIR}/index.html ${ZORVANE_SITE_DIR}/index.html COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/assets/icon-game-32.png ${ZORVANE_SITE_DIR}/icon.png COPYONLY)

# zorvane-replay under node, reading and writing this machine's files; the wrapper runs it as the
# native tool is run.
add_subdirectory(tools/replay)
target_link_options(zorvane-replay PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
                                           -sALLOW_MEMORY_GROWTH=1)
set_target_properties(zorvane-replay PROPERTIES SUFFIX .js)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/tools/replay/zorvane-replay-node CONTENT
[[#!/bin/sh
# zorvane-replay built for the browser's machine, run by node.
exec node --no-experimental-fetch "$(dirname "$0")/zorvane-replay.js" "$@"
]])
file(CHMOD ${CMAKE_BINARY_DIR}/tools/replay/zorvane-replay-node PERMISSIONS OWNER_READ OWNER_WRITE
     OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Its tests (make web-test): the replay scripts under node, byte for byte, and the page in
# headless Chromium.
enable_testing()
foreach(part replay web)
  add_subdirectory(tests/${part})
  set_property(DIRECTORY tests/${part} PROPERTY LABELS ${part})
endforeach()
