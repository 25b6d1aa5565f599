# Checks a built Tervane.dll: it exports exactly the four entry points of a
# self-registering server, undecorated, and imports only system DLLs.
# cmake -DDLL=<path> -DOBJDUMP=<objdump> -P check_dll.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[^\n]*\n)*)" table "${dump}")
string(REGEX REPLACE "[ \t]*\\[ *[0-9]+\\] ([^\n]+)\n" "\\1;" exports "${CMAKE_MATCH_1}")
list(REMOVE_ITEM exports "")
list(SORT exports)
set(expected DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
if(NOT exports STREQUAL expected)
  message(FATAL_ERROR "${DLL} exports [${exports}], expected [${expected}]")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(system advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi
    user32 version)
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" name)
  string(REGEX REPLACE "dll name: ([^.]+)\\.dll" "\\1" name "${name}")
  string(STRIP "${name}" name)
  if(NOT name IN_LIST system AND NOT name MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${DLL} imports ${import}, not a system DLL")
  endif()
endforeach()
message(STATUS "${DLL}: exports [${exports}], imports system DLLs only")
