# Checks a built Windows program or library:
#  - it exports exactly EXPORTS (undecorated; none for a program);
#  - it imports only system DLLs, so that it runs from wherever it is copied;
#  - with XP_EXPORTS (the i686 builds), every function it imports is listed
#    there, by name, as one that Windows XP SP3 exports by name: a program
#    with an import the system lacks does not start at all;
#  - with P6 (the i686 builds), its code uses no instruction that a Pentium
#    Pro lacks: no MMX, SSE or later register or instruction. MAP, the
#    linker's map, bounds the code: the exception tables that the linker
#    appends to .text are data, which disassemble as anything.
# cmake -DBINARY=<path> -DOBJDUMP=<objdump> [-DEXPORTS=a,b,...] [-DXP_EXPORTS=<list>]
#       [-DP6=ON [-DMAP=<map file>]] -P check_windows_binary.cmake
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

# Each imported DLL's block: "DLL Name: X", a heading, then one line per
# function ("<address> <hint> <name>"; no name for an import by ordinal).
set(system advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi
    user32 version)
string(REGEX MATCHALL "DLL Name: [^\n]+\n[^\n]*\n([ \t]+[0-9a-fA-F]+[ \t][^\n]*\n)*" blocks
       "${dump}")
set(imports "")
foreach(block IN LISTS blocks)
  string(REGEX MATCH "DLL Name: ([^\n]+)" _ "${block}")
  string(STRIP "${CMAKE_MATCH_1}" dll_name)
  string(TOLOWER "${dll_name}" dll)
  string(REGEX REPLACE "\\.dll$" "" dll "${dll}")
  if(NOT dll IN_LIST system AND NOT dll MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${BINARY} imports ${dll_name}, not a system DLL")
  endif()
  string(REGEX MATCHALL "\n[ \t]+[0-9a-fA-F]+[ \t]+[0-9]+[^\n]*" lines "${block}")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^\n[ \t]+[0-9a-fA-F]+[ \t]+[0-9]+[ \t]*" "" function "${line}")
    string(STRIP "${function}" function)
    if(function STREQUAL "" OR function STREQUAL "<none>")
      string(STRIP "${line}" line)
      set(function "#ordinal(${line})")
    endif()
    list(APPEND imports "${dll}!${function}")
  endforeach()
endforeach()

if(XP_EXPORTS)
  # The list: "[dll]" starts a DLL's section, then one function a line;
  # "#" starts a comment.
  file(STRINGS ${XP_EXPORTS} list_lines)
  set(known "")
  set(section "")
  foreach(entry IN LISTS list_lines)
    string(REGEX REPLACE "#.*" "" entry "${entry}")
    string(STRIP "${entry}" entry)
    if(entry MATCHES "^\\[(.+)\\]$")
      string(TOLOWER "${CMAKE_MATCH_1}" section)
    elseif(NOT entry STREQUAL "")
      list(APPEND known "${section}!${entry}")
    endif()
  endforeach()
  set(unknown "")
  foreach(import IN LISTS imports)
    if(NOT import IN_LIST known)
      list(APPEND unknown "${import}")
    endif()
  endforeach()
  if(unknown)
    list(JOIN unknown "\n  " unknown_lines)
    message(FATAL_ERROR
      "${BINARY} imports functions that Windows XP SP3 does not export by name "
      "(not in ${XP_EXPORTS}):\n  ${unknown_lines}\n"
      "Look a later function up at run time (later_functions.h) with a fallback for XP, "
      "or, if XP SP3 does export it by name, add it to the list.")
  endif()
endif()

if(P6)
  set(stop "")
  if(MAP)
    file(STRINGS ${MAP} ctor_list REGEX "[ \t]___CTOR_LIST__ = \\.")
    if(NOT ctor_list MATCHES "(0x[0-9a-fA-F]+)")
      message(FATAL_ERROR "${MAP} does not place ___CTOR_LIST__")
    endif()
    set(stop --stop-address=${CMAKE_MATCH_1})
  endif()
  # Beyond the Pentium Pro: MMX, SSE and AVX registers, AVX-512 masks, and
  # the instructions of those extensions and later ones that take none. Not
  # named: tzcnt, which is how GCC writes "rep bsf" (run as bsf before BMI1),
  # and rdrand and rdseed, which libstdc++'s std::random_device runs only
  # after CPUID reports them.
  set(beyond "%[xyz]?mm[0-9]|%k[0-7]|:\t(lock )?(emms|femms|[lms]fence|prefetch[a-z0-9]*|movnti"
             "|clflush[a-z]*|[ls]tmxcsr|fxsave|fxrstor|xsave[a-z]*|xrstor[a-z]*|fisttp[a-z]*"
             "|popcnt|lzcnt|movbe|crc32[a-z]*|rdtscp|xgetbv|andn|bextr|blsi|blsmsk|blsr|bzhi"
             "|pdep|pext|rorx|sarx|shlx|shrx|adcx|adox|monitor|mwait)( |$)")
  string(JOIN "" beyond ${beyond})
  execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${stop} ${BINARY}
                  COMMAND grep -E -m 20 "${beyond}"
                  OUTPUT_VARIABLE found RESULT_VARIABLE status)
  if(found)
    message(FATAL_ERROR
      "${BINARY} uses instructions that a Pentium Pro lacks:\n${found}"
      "Build for -march=i686 without -mmmx, -msse or later extensions.")
  endif()
endif()
