// MinGW-w64's static thread library (libwinpthread, pulled in by the posix
// thread model) imports GetTickCount64, which Windows XP lacks, and a
// program with a missing import does not start at all. Defining the import's
// pointer here lets the linker take it instead of the entry in kernel32's
// import library, so the thread library's timeouts run on TickCount64, which
// falls back to GetTickCount on XP. Linked as an object into each program
// and library that ships, ahead of the libraries.
#include <windows.h>

#include "addin/platform/win32/later_functions.h"

namespace {

ULONGLONG WINAPI TickCount64Import() { return tervane::win32::TickCount64(); }

}  // namespace

#if defined(__i386__)
#define TERVANE_IMPORT_NAME(name, arguments) "__imp__" #name "@" #arguments
#else
#define TERVANE_IMPORT_NAME(name, arguments) "__imp_" #name
#endif

extern "C" ULONGLONG(WINAPI* const tervaneGetTickCount64Import)() __asm__(
    TERVANE_IMPORT_NAME(GetTickCount64, 0)) = TickCount64Import;
