# The direction of use between the folders: each folder's sources may include only the folders
# listed for it (its own included). An include against the direction stops the configure step,
# so that a layer cannot quietly come to depend on one above it.
set(zorvane_layers
  "settings: settings"
  "config: settings config"
  "game/display: settings game/display"
  "game/events: settings game/events"
  "game/sim: settings game/display game/events game/sim"
  "game/replay: settings game/display game/events game/sim game/replay"
  "game/net: settings game/display game/events game/sim game/replay game/net"
  "game/cpu: settings game/display game/events game/sim game/cpu"
  "game/sdl/video: settings game/display game/events game/sdl/video"
  "game/sdl/input: settings game/display game/events game/sim game/sdl/input"
  "game/sdl: settings game/display game/events game/sim game/replay game/net game/cpu game/sdl/video game/sdl/input game/sdl")

foreach(layer IN LISTS zorvane_layers)
  string(REGEX MATCH "^([^:]+): (.*)$" _ "${layer}")
  set(folder ${CMAKE_MATCH_1})
  separate_arguments(allowed UNIX_COMMAND "${CMAKE_MATCH_2}")
  file(GLOB sources ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^#include \"")
    foreach(line IN LISTS includes)
      string(REGEX MATCH "^#include \"(.*)/[^/]+\"" _ "${line}")
      set(included ${CMAKE_MATCH_1})
      if(included AND NOT included IN_LIST allowed)
        file(RELATIVE_PATH where ${PROJECT_SOURCE_DIR} ${source})
        message(FATAL_ERROR "${where}: ${folder}/ may not use ${included}/ (${line})")
      endif()
    endforeach()
  endforeach()
endforeach()
