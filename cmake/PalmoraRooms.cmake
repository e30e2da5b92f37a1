# The rooms of the engine, one folder of src/ each, and the rooms each may include. Dependencies
# run one way: api -> features -> engine -> platform -> imaging. A room sees the rooms it names and
# everything they see; rooms are declared bottom-up, so a cycle cannot be written down.
# scripts/layering.sh reads the palmora_room() lines below; keep each on one line.
#
# The features (brush, mask, process, script, io, render, host) do not include each other, with
# these exceptions:
# - process, script and io put pictures onto layers through render's compositor
#   (CompositeRGBA32IntoLayer, CompositeLayerRect, MergeRect): the merge modes have one
#   implementation, vector kernels included.
# - process writes into the mask through mask's makers (the "into the mask" effects, the HSL
#   range effect), and io applies the mask to the alpha of what it copies out.
# - brush blurs a picture shape with the "Value Blur" effect itself, so the shape and the effect
#   never smear differently.
# - io pastes into the image brush through brush's loader.

# palmora_room(<room> [USES <rooms>...]) declares a room and the rooms it may include.
function(palmora_room room)
  cmake_parse_arguments(PARSE_ARGV 1 ROOM "" "" "USES")
  set(visible ${room})
  foreach(lower ${ROOM_USES})
    get_property(known GLOBAL PROPERTY PALMORA_ROOM_SEES_${lower} SET)
    if(NOT known)
      message(FATAL_ERROR "Room ${room} uses ${lower}, which is not declared before it")
    endif()
    get_property(lower_visible GLOBAL PROPERTY PALMORA_ROOM_SEES_${lower})
    list(APPEND visible ${lower_visible})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set_property(GLOBAL PROPERTY PALMORA_ROOM_SEES_${room} ${visible})
  set_property(GLOBAL PROPERTY PALMORA_ROOM_USES_${room} ${ROOM_USES})
endfunction()

# The object library of a room: its sources are every .cpp below src/<room>. Its include path is
# a folder of links to the rooms it sees, and nothing else of src/, so an include of any other
# room is "file not found". It links the rooms it uses, which `cmake --graphviz` draws.
function(palmora_room_objects target room)
  get_property(visible GLOBAL PROPERTY PALMORA_ROOM_SEES_${room})
  get_property(uses GLOBAL PROPERTY PALMORA_ROOM_USES_${room})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${room}/*.cpp)
  add_library(${target} OBJECT ${sources})
  set(view ${PROJECT_BINARY_DIR}/rooms/${room})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view})
  foreach(seen ${visible})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${seen} ${view}/${seen} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/include ${view})
  target_link_libraries(${target} PUBLIC palmora_deps)
  # (Not the script room, which is built once per Lua: its Lua's settings must not reach the
  # objects above it, which serve both.)
  foreach(lower ${uses})
    if(NOT lower STREQUAL "script")
      target_link_libraries(${target} PRIVATE palmora_room_${lower})
    endif()
  endforeach()
  target_compile_definitions(${target} PRIVATE PALMORA_BUILDING_LIBRARY)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter
    $<$<BOOL:${PALMORA_WERROR}>:-Werror>)
  if(NOT room STREQUAL "script")
    set_property(GLOBAL APPEND PROPERTY PALMORA_ROOM_TARGETS ${target})
  endif()
endfunction()

palmora_room(imaging)
palmora_room(platform USES imaging)
palmora_room(engine USES platform imaging)
palmora_room(render USES engine)
palmora_room(mask USES engine)
palmora_room(host USES engine)
palmora_room(process USES render mask engine)
palmora_room(script USES render engine)
palmora_room(brush USES process engine)
palmora_room(io USES render mask brush engine)
palmora_room(api USES brush mask process script io render host engine)
