# Checks a built Windows program or library: it exports exactly EXPORTS
# (undecorated; none for a program) and imports only system DLLs, so that it
# runs from wherever it is copied.
# cmake -DBINARY=<path> -DOBJDUMP=<objdump> [-DEXPORTS=a,b,...] -P check_windows_binary.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${BINARY} failed")
endif()

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[^\n]*\n)*)" table "${dump}")
set(exports "")
if(table)
  string(REGEX REPLACE "[ \t]*\\[ *[0-9]+\\] ([^\n]+)\n" "\\1;" exports "${CMAKE_MATCH_1}")
  list(REMOVE_ITEM exports "")
  list(SORT exports)
endif()
string(REPLACE "," ";" expected "${EXPORTS}")
list(SORT expected)
if(NOT exports STREQUAL expected)
  message(FATAL_ERROR "${BINARY} exports [${exports}], expected [${expected}]")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
set(system advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi
    user32 version)
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" name)
  string(REGEX REPLACE "dll name: ([^.]+)\\.dll" "\\1" name "${name}")
  string(STRIP "${name}" name)
  if(NOT name IN_LIST system AND NOT name MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${BINARY} imports ${import}, not a system DLL")
  endif()
endforeach()
