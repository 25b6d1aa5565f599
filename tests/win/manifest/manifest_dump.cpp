// Writes a program's or library's manifest resource (type 24, the identifier
// given) to standard output, found as the Windows loader finds it. Exit
// status 1 when there is none, 2 when the file cannot be loaded.
// manifest_dump <file, Windows or Linux path> <identifier>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::string path = argv[1];
  if (path.front() == '/') path = "Z:" + path;
  HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return 2;
  int status = 1;
  if (HRSRC resource =
          ::FindResourceA(module, MAKEINTRESOURCEA(std::atoi(argv[2])), MAKEINTRESOURCEA(24))) {
    const void* bytes = ::LockResource(::LoadResource(module, resource));
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(bytes, 1, ::SizeofResource(module, resource), stdout);
    status = 0;
  }
  ::FreeLibrary(module);
  return status;
}
