# Cross-compiling for 32-bit Windows, the editor's own architecture, with
# Debian's MinGW-w64 (posix threads). Test programs run under 32-bit Wine
# (wine32:i386) through scripts/wine-run, which picks the loader by the
# program's machine type.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TERVANE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TERVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TERVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TERVANE_MINGW_TRIPLE}-windres)
set(TERVANE_WIDL ${TERVANE_MINGW_TRIPLE}-widl)
# The type library imports stdole2.tlb by its identifier: the 64-bit Wine's
# copy serves when the 32-bit one is not installed.
if(EXISTS /usr/lib/i386-linux-gnu/wine/i386-windows/stdole2.tlb)
  set(TERVANE_WIDL_FLAGS --win32 -L /usr/lib/i386-linux-gnu/wine/i386-windows)
else()
  set(TERVANE_WIDL_FLAGS --win32 -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${TERVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
