# Cross-compiling for Windows with MinGW-w64 (posix threads: GoogleTest needs std::mutex), for the
# architecture the including toolchain file names in LYRANT_MINGW_ARCH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LYRANT_MINGW_ARCH})
set(CMAKE_C_COMPILER ${LYRANT_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${LYRANT_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${LYRANT_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_AR ${LYRANT_MINGW_ARCH}-w64-mingw32-ar)
set(CMAKE_RANLIB ${LYRANT_MINGW_ARCH}-w64-mingw32-ranlib)
set(CMAKE_FIND_ROOT_PATH /usr/${LYRANT_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run through Wine (the wrapper picks up the harness's prefix, display and sound server).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
