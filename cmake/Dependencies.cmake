# GoogleTest from Debian's googletest source package, cross-built.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# SoundTouch from Debian's source package (fetched by scripts/setup into third_party/, never committed),
# 16-bit integer samples; everything that includes its headers gets the same define.
set(SOUNDTOUCH_SOURCE_DIR ${CMAKE_SOURCE_DIR}/third_party/soundtouch-src CACHE PATH "SoundTouch sources")
if(NOT EXISTS ${SOUNDTOUCH_SOURCE_DIR}/source/SoundTouch/SoundTouch.cpp)
  message(FATAL_ERROR "SoundTouch sources missing: run scripts/setup")
endif()
set(st ${SOUNDTOUCH_SOURCE_DIR}/source/SoundTouch)
add_library(soundtouch STATIC
  ${st}/AAFilter.cpp ${st}/FIFOSampleBuffer.cpp ${st}/FIRFilter.cpp ${st}/InterpolateCubic.cpp
  ${st}/InterpolateLinear.cpp ${st}/InterpolateShannon.cpp ${st}/RateTransposer.cpp
  ${st}/SoundTouch.cpp ${st}/TDStretch.cpp ${st}/cpu_detect_x86.cpp ${st}/mmx_optimized.cpp
  ${st}/sse_optimized.cpp)
target_include_directories(soundtouch SYSTEM PUBLIC ${SOUNDTOUCH_SOURCE_DIR}/include)
target_compile_definitions(soundtouch PUBLIC SOUNDTOUCH_INTEGER_SAMPLES=1)
target_compile_options(soundtouch PRIVATE -O2 -w)
set_source_files_properties(${st}/mmx_optimized.cpp PROPERTIES COMPILE_OPTIONS -mmmx)
set_source_files_properties(${st}/sse_optimized.cpp PROPERTIES COMPILE_OPTIONS -msse)
