# Reads the manifest resource back from each built program as Windows finds
# it (DUMP under EMULATOR) and checks it with xmllint: well-formed, in the
# namespaces that Windows reads, each element declaring at most one (as
# Windows XP SP2 needs), asInvoker without UI access, DPI aware (per monitor
# from Windows 10 on) and long-path aware, this build's
# architecture and every supported system from Vista on. A library in
# NO_MANIFEST must carry none, neither 1 nor 2.
# cmake -DEMULATOR=... -DDUMP=... -DXMLLINT=... -DARCHITECTURE=x86|amd64
#       -DPROGRAMS=a,b -DNO_MANIFEST=c -DWORK=<folder> -P check_manifests.cmake
set(v1 "namespace-uri()='urn:schemas-microsoft-com:asm.v1'")
set(v2 "namespace-uri()='urn:schemas-microsoft-com:asm.v2'")
set(compatibility "namespace-uri()='urn:schemas-microsoft-com:compatibility.v1'")
set(assembly "/*[local-name()='assembly' and ${v1}]")
set(level "${assembly}/*[local-name()='trustInfo' and ${v2}]/*[local-name()='security' and ${v2}]"
          "/*[local-name()='requestedPrivileges' and ${v2}]"
          "/*[local-name()='requestedExecutionLevel' and ${v2}]")
string(JOIN "" level ${level})
set(os "${assembly}/*[local-name()='compatibility' and ${compatibility}]"
       "/*[local-name()='application' and ${compatibility}]"
       "/*[local-name()='supportedOS' and ${compatibility}]/@Id")
string(JOIN "" os ${os})
set(v3 "namespace-uri()='urn:schemas-microsoft-com:asm.v3'")
set(settings "${assembly}/*[local-name()='application' and ${v3}]"
             "/*[local-name()='windowsSettings' and ${v3}]")
string(JOIN "" settings ${settings})
set(ws2005 "namespace-uri()='http://schemas.microsoft.com/SMI/2005/WindowsSettings'")
set(ws2016 "namespace-uri()='http://schemas.microsoft.com/SMI/2016/WindowsSettings'")
set(identity "${assembly}/*[local-name()='assemblyIdentity' and ${v1}]")
# Vista, 7, 8, 8.1, 10 and 11.
set(systems "{e2011457-1546-43c5-a5fe-008deee3d3f0} {35138b9a-5d96-4fbd-8e2d-a2440225f93a} "
            "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} {1f676c76-80e1-4239-95bb-83d0f6d0da78} "
            "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")
string(JOIN "" systems ${systems})

# XPath expression, then the value it must have.
set(checks
  "string(${assembly}/@manifestVersion)" "1.0"
  "string(${identity}/@type)" "win32"
  "boolean(string-length(${identity}/@name) > 0)" "true"
  "boolean(translate(${identity}/@version, '0123456789', '') = '...')" "true"
  "string(${identity}/@processorArchitecture)" "${ARCHITECTURE}"
  "count(${level})" "1"
  "string(${level}/@level)" "asInvoker"
  "string(${level}/@uiAccess)" "false"
  "string(${settings}/*[local-name()='dpiAware' and ${ws2005}])" "true"
  "string(${settings}/*[local-name()='dpiAwareness' and ${ws2016}])" "PerMonitorV2"
  "string(${settings}/*[local-name()='longPathAware' and ${ws2016}])" "true")

function(fail program text)
  message(FATAL_ERROR "${program}: ${text}")
endfunction()

function(dump program id out status_var)
  execute_process(COMMAND ${EMULATOR} ${DUMP} ${program} ${id}
                  OUTPUT_FILE ${out} RESULT_VARIABLE status)
  set(${status_var} ${status} PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${WORK})
string(REPLACE "," ";" programs "${PROGRAMS}")
foreach(program IN LISTS programs)
  get_filename_component(name ${program} NAME)
  set(file ${WORK}/${name}.manifest)
  dump(${program} 1 ${file} status)
  if(status EQUAL 77)
    message(STATUS "Skipped: Wine cannot run ${DUMP} on this machine")
    return()
  elseif(NOT status EQUAL 0)
    fail(${program} "no manifest resource 1 (status ${status})")
  endif()
  execute_process(COMMAND ${XMLLINT} --noout ${file} RESULT_VARIABLE status ERROR_VARIABLE why)
  if(NOT status EQUAL 0)
    fail(${program} "the manifest is not well-formed XML:\n${why}")
  endif()
  # Windows XP SP2 fails on an element that declares namespaces twice.
  file(READ ${file} text)
  if(text MATCHES "<[^>]*xmlns[^>]*xmlns")
    fail(${program} "an element declares more than one namespace")
  endif()
  set(rest ${checks})
  while(rest)
    list(POP_FRONT rest expression expected)
    execute_process(COMMAND ${XMLLINT} --xpath "${expression}" ${file} OUTPUT_VARIABLE value
                    ERROR_VARIABLE why)
    string(STRIP "${value}" value)
    if(NOT value STREQUAL expected)
      fail(${program} "${expression} is \"${value}\", expected \"${expected}\" ${why}")
    endif()
  endwhile()
  execute_process(COMMAND ${XMLLINT} --xpath "${os}" ${file} OUTPUT_VARIABLE ids)
  string(REGEX MATCHALL "{[^}]*}" ids "${ids}")
  list(JOIN ids " " ids)
  if(NOT ids STREQUAL systems)
    fail(${program} "supported systems [${ids}], expected [${systems}]")
  endif()
  message(STATUS "${name}: asInvoker, ${ARCHITECTURE}, Vista to 11, DPI and long-path aware")
endforeach()

string(REPLACE "," ";" libraries "${NO_MANIFEST}")
foreach(library IN LISTS libraries)
  foreach(id 1 2)
    dump(${library} ${id} ${WORK}/unexpected.manifest status)
    if(NOT status EQUAL 1)
      fail(${library} "manifest resource ${id}: status ${status}, expected none (1)")
    endif()
  endforeach()
endforeach()
