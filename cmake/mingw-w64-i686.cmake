# Cross-compiling for 32-bit Windows, the editor's own architecture. These
# programs cannot run on the build machines: no emulator, so no tests run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TERVANE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TERVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TERVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TERVANE_MINGW_TRIPLE}-windres)
set(TERVANE_WIDL ${TERVANE_MINGW_TRIPLE}-widl)
# No 32-bit Wine here: the 64-bit Wine's stdole2.tlb serves the type library's
# import too, since an imported library is referenced by its identifier.
set(TERVANE_WIDL_FLAGS --win32 -L /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
set(CMAKE_FIND_ROOT_PATH /usr/${TERVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
