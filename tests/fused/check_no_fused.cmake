# Fails when an object holds a fused multiply-add instruction (vfmadd, vfmsub,
# vfnmadd, vfnmsub and their packed forms), or when the probe, built to fuse,
# shows none (then the check could not see one either).
#   cmake -DOBJDUMP=... -DPROBE=probe.o -DOBJECTS="a.o|b.o|..." -P check_no_fused.cmake
set(fused "vfn?m(add|sub)[0-9a-z]*")

function(disassemble object out)
  execute_process(COMMAND ${OBJDUMP} -d -C --no-show-raw-insn ${object}
    OUTPUT_VARIABLE text ERROR_VARIABLE error RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${object}: ${error}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

disassemble(${PROBE} probe)
if(NOT probe MATCHES "${fused}")
  message(FATAL_ERROR "the probe built to fuse shows no fused instruction: the check is blind")
endif()

string(REPLACE "|" ";" objects "${OBJECTS}")
set(found "")
set(count 0)
foreach(object IN LISTS objects)
  disassemble(${object} text)
  # Each function's instructions follow a line "ADDRESS <name>:".
  string(REGEX MATCHALL "<[^>\n]+>:\n|[^\n]*\t${fused}[^\n]*" lines "${text}")
  set(function "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^<(.+)>:")
      set(function "${CMAKE_MATCH_1}")
    else()
      math(EXPR count "${count} + 1")
      get_filename_component(name ${object} NAME)
      string(STRIP "${line}" line)
      string(APPEND found "  ${name}: ${function}: ${line}\n")
    endif()
  endforeach()
endforeach()
if(count GREATER 0)
  message(FATAL_ERROR "${count} fused multiply-add instructions:\n${found}")
endif()
list(LENGTH objects n)
message(STATUS "no fused multiply-add in ${n} objects")
