# Runs the post-link check on BINARY with the XP list or the P6 check, and
# passes only if the check fails and names everything in REJECTED (imports as
# dll!function, or instructions; comma separated) and nothing in ACCEPTED.
# cmake -DCHECK=<check_windows_binary.cmake> -DBINARY=... -DOBJDUMP=...
#       [-DXP_EXPORTS=...] [-DP6=ON -DMAP=...] -DREJECTED=... -DACCEPTED=...
#       -P expect_rejected.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} -DBINARY=${BINARY} -DOBJDUMP=${OBJDUMP} -DXP_EXPORTS=${XP_EXPORTS}
          -DP6=${P6} -DMAP=${MAP} -P ${CHECK}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(status EQUAL 0)
  message(FATAL_ERROR "The check accepted ${BINARY}:\n${output}")
endif()
# The message wraps long lines; compare it without line breaks and indents.
string(REGEX REPLACE "[ \t\r\n]+" " " flat "${output}")
string(REPLACE "," ";" rejected "${REJECTED}")
foreach(import IN LISTS rejected)
  if(NOT flat MATCHES " ${import}( |$)")
    message(FATAL_ERROR "The check did not name ${import}:\n${output}")
  endif()
endforeach()
string(REPLACE "," ";" accepted "${ACCEPTED}")
foreach(import IN LISTS accepted)
  if(flat MATCHES " ${import}( |$)")
    message(FATAL_ERROR "The check named ${import}, which is allowed:\n${output}")
  endif()
endforeach()
message(STATUS "Rejected: ${REJECTED}")
