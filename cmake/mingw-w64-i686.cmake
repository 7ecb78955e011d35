# Cross build for 32-bit Windows with the Debian mingw-w64 toolchain: the
# Windows package (the PC the card sits in runs the module's 32-bit driver).
# The posix-thread variant of the compilers: the core's std::thread and
# std::mutex need it (the win32-thread variant has neither); -static links its
# thread library into the programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(TELVAR5_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TELVAR5_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TELVAR5_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TELVAR5_MINGW_PREFIX}-windres)

# Floating point in SSE2 registers, as on x86-64, not on the x87 stack: x87
# keeps 80 bits between operations and rounds where a value happens to be
# spilled, so a decoded value's last digits, an overflow to infinity and a
# seeded waveform would differ from run to run and from the Linux build. So the
# programs need a CPU with SSE2: every x86 CPU since the Pentium 4 and the
# Athlon 64 (2000 to 2003), and every one that Windows 8 and later run on.
# (mingw's GCC realigns the stack where SSE needs it: Windows keeps 4 bytes.)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# Libraries and headers come from the target's sysroot only (and from the Qt
# for Windows, which its own toolchain file adds); programs from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TELVAR5_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
