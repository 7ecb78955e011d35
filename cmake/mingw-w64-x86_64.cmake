# Cross build for 64-bit Windows with the Debian mingw-w64 toolchain. The
# posix-thread variant of the compilers: the core's std::thread and std::mutex
# need it (the win32-thread variant has neither); -static links its thread
# library into the programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TELVAR5_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TELVAR5_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TELVAR5_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TELVAR5_MINGW_PREFIX}-windres)

# Libraries and headers come from the target's sysroot only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TELVAR5_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
