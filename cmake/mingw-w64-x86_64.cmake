# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix).
#
# The posix flavour of the compiler carries std::thread and std::mutex (winpthreads);
# the runtime libraries are linked statically, so the .exe files need no DLL beside
# them on a bare Windows.
#
# QUORVEL_WIN_DEPS (cache variable or environment) names the prefix that holds the
# libraries built for the target (GoogleTest, libjpeg-turbo) and copies of the
# header-only packages; scripts/windows.sh fills it. Programs and tests run under Wine
# (CMAKE_CROSSCOMPILING_EMULATOR, through cmake/wine-run.sh), so CTest runs them as it
# runs native ones.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORVEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORVEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVEL_MINGW_TRIPLE}-windres)

if(NOT QUORVEL_WIN_DEPS AND DEFINED ENV{QUORVEL_WIN_DEPS})
  set(QUORVEL_WIN_DEPS $ENV{QUORVEL_WIN_DEPS})
endif()
# Try-compile projects see the toolchain again; hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUORVEL_WIN_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVEL_MINGW_TRIPLE})
if(QUORVEL_WIN_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${QUORVEL_WIN_DEPS})
endif()
# Build-host programs (pkg-config, wine) from the host; libraries, headers and package
# files only from the target's prefixes, never from the host's /usr.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config looks at the target's prefix only.
if(QUORVEL_WIN_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} ${QUORVEL_WIN_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Through cmake/wine-run.sh, which keeps the processes Wine starts beside a program
# from holding its output open.
find_program(QUORVEL_WINE NAMES wine wine64)
find_program(QUORVEL_SH sh)
if(QUORVEL_WINE AND QUORVEL_SH)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVEL_SH} ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh
                                    ${QUORVEL_WINE})
endif()
