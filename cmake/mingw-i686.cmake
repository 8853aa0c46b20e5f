# The deliverables: 32-bit Windows.
set(LYRANT_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
