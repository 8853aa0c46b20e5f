# 64-bit Windows: not shipped; it runs the same tests on hosts that cannot execute 32-bit code.
set(LYRANT_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
