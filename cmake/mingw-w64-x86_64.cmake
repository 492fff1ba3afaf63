# Cross build for Windows x86-64 with Debian's mingw-w64: the module
# kwantel.xdl64, the emulator and the test suite, which CTest runs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model gives the C++ runtime std::thread and std::mutex; every
# program links it statically, so nothing needs libwinpthread-1.dll at run time.
set(KWANTEL_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${KWANTEL_MINGW_PREFIX}-gcc-posix ${KWANTEL_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KWANTEL_MINGW_PREFIX}-g++-posix ${KWANTEL_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KWANTEL_MINGW_PREFIX}-windres)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Only the target's own headers and libraries; the build's header-only
# libraries come through a folder of their own (mingw-w64-deps.cmake).
set(CMAKE_FIND_ROOT_PATH /usr/${KWANTEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and test discovery run under Wine, headless and quiet, in a prefix of
# the build's own: no desktop, no Mono or Gecko installer.
find_program(KWANTEL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KWANTEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= ${KWANTEL_WINE})
endif()

# Optimised as a release, at -O2: GCC 12 at -O3 warns falsely (-Wrestrict) in
# the standard library's string code, and -O2 builds the suite sooner.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of a Windows release build")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of a Windows release build")
