# Compiler flags of the engine's own sources (everything below src/), by file name.
#
# Kernels promise the exact values of the scalar code they stand in for, doubles included, so the
# whole library keeps every multiply and add separately rounded: no contraction into fused
# multiply-adds, no fast-math reassociation, and no kernel is built with -mfma.
#
# A kernel file named *_ssse3.cpp, *_sse41.cpp, *_avx2.cpp or *_avx512.cpp is compiled for that
# instruction set; everything else for the baseline processor. The engine calls such a kernel only
# after platform::CurrentCpuLevel() allows it, from a file built for the baseline, so a kernel
# file holds kernels (and compile-time tables of them) and nothing that runs earlier.
file(GLOB_RECURSE PALMORA_LIBRARY_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
set_property(SOURCE ${PALMORA_LIBRARY_SOURCES} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
  APPEND PROPERTY COMPILE_OPTIONS -ffp-contract=off -fno-fast-math)

set(PALMORA_KERNEL_FLAGS_ssse3 -mssse3)
set(PALMORA_KERNEL_FLAGS_sse41 -msse4.1)
set(PALMORA_KERNEL_FLAGS_avx2 -mavx2)
set(PALMORA_KERNEL_FLAGS_avx512 -mavx512f -mavx512bw -mavx512vl -mavx512dq)

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i.86)$")
  foreach(suffix ssse3 sse41 avx2 avx512)
    set(kernel_sources ${PALMORA_LIBRARY_SOURCES})
    list(FILTER kernel_sources INCLUDE REGEX "_${suffix}\\.cpp$")
    if(kernel_sources)
      set_property(SOURCE ${kernel_sources} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
        APPEND PROPERTY COMPILE_OPTIONS ${PALMORA_KERNEL_FLAGS_${suffix}})
    endif()
  endforeach()
endif()
