# Cross build for 64-bit Windows with the Debian mingw-w64 toolchain: only the
# stand-in kernel driver and its tools, which a 64-bit Windows needs to check
# the 32-bit programs through WoW64 (the Windows package itself is 32-bit,
# cmake/mingw-w64-i686.cmake). The posix-thread variant of the compilers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TELVAR5_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TELVAR5_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TELVAR5_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TELVAR5_MINGW_PREFIX}-windres)

# Libraries and headers come from the target's sysroot only; programs from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TELVAR5_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
