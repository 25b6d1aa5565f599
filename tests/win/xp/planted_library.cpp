// A library that does nothing: the test puts it in the current folder, where
// a planted library would lie, to see whether the search still finds it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
