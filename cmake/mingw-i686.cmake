# Cross toolchain for the 32-bit Windows build. The -posix variant is needed:
# GCC 12's -win32 threading model has no std::mutex, which GoogleTest uses.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZARVO_MINGW_THREADS posix CACHE STRING "mingw-w64 threading model: posix (tests) or win32 (installer)")
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${ZARVO_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${ZARVO_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Cross-built tests run through Wine in the build's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
