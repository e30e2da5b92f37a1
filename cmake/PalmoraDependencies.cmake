# Third-party libraries the engine is built on. Debian ships OpenCV's module packages without the
# CMake package files of the full -dev package, so the three modules we use are found by hand.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(TIFF REQUIRED)
find_package(GIF REQUIRED)

find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
foreach(module core imgproc photo)
  find_library(OPENCV_${module}_LIBRARY opencv_${module} REQUIRED)
  list(APPEND OPENCV_LIBRARIES ${OPENCV_${module}_LIBRARY})
endforeach()

# Text: fontconfig finds the face a font record names, FreeType draws it.
find_package(Freetype REQUIRED)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)

add_library(palmora_deps INTERFACE)
target_include_directories(palmora_deps SYSTEM INTERFACE ${OPENCV_INCLUDE_DIR})
target_link_libraries(palmora_deps INTERFACE
  ${OPENCV_LIBRARIES} PNG::PNG JPEG::JPEG TIFF::TIFF GIF::GIF ZLIB::ZLIB Threads::Threads
  Freetype::Freetype PkgConfig::FONTCONFIG)

# Lua for user filters: LuaJIT (the default) and the reference Lua 5.1, each behind its own target.
pkg_check_modules(LUAJIT REQUIRED IMPORTED_TARGET luajit)
pkg_check_modules(LUA51 REQUIRED IMPORTED_TARGET lua5.1)
add_library(palmora_luajit INTERFACE)
target_link_libraries(palmora_luajit INTERFACE PkgConfig::LUAJIT)
target_compile_definitions(palmora_luajit INTERFACE PALMORA_LUAJIT=1)
add_library(palmora_lua51 INTERFACE)
target_link_libraries(palmora_lua51 INTERFACE PkgConfig::LUA51)
target_compile_definitions(palmora_lua51 INTERFACE PALMORA_LUAJIT=0)

# The command-line parser of the palmora host (tools/palmora), header only.
find_package(CLI11 CONFIG REQUIRED)
