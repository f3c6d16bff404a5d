# Runs one script through `kelvarin --script` and checks what it gives.
#
#   cmake -DKELVARIN=<binary> -DCOMPARE=<kvs_compare> -DSCRIPT=<dir/NAME.kvs>
#         -DOUTPUT_DIR=<scratch folder> [-DNO_DISPLAY=ON] [-DPNG_FILE=NAME]
#         -P run_script_test.cmake
#
# The script runs from inside its own folder, or, with PNG_FILE, from a copy in
# OUTPUT_DIR, after which NAME must be a PNG file there. Its standard output must match
# NAME.expected (see kvs_compare); its exit status must be the N of a
# `# exit: N` comment in the script, or 0 without one. A `# stderr: TEXT`
# comment gives the exact standard error; without one it must be empty when
# the status is 0. NO_DISPLAY runs it with DISPLAY, WAYLAND_DISPLAY and
# QT_QPA_PLATFORM unset.

foreach(var KELVARIN COMPARE SCRIPT OUTPUT_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_script_test.cmake: ${var} is not set")
  endif()
endforeach()

get_filename_component(dir "${SCRIPT}" DIRECTORY)
get_filename_component(name "${SCRIPT}" NAME_WLE)
set(expected "${dir}/${name}.expected")
file(MAKE_DIRECTORY "${OUTPUT_DIR}")
set(actual "${OUTPUT_DIR}/${name}.out")

set(expected_status 0)
file(STRINGS "${SCRIPT}" exit_lines REGEX "^#[ \t]*exit:[ \t]*[0-9]+")
if(exit_lines)
  list(GET exit_lines 0 exit_line)
  string(REGEX MATCH "[0-9]+" expected_status "${exit_line}")
endif()
file(STRINGS "${SCRIPT}" stderr_lines REGEX "^#[ \t]*stderr:")
set(check_stderr FALSE)
if(stderr_lines)
  list(GET stderr_lines 0 stderr_line)
  string(REGEX REPLACE "^#[ \t]*stderr:[ \t]*" "" expected_stderr "${stderr_line}")
  set(check_stderr TRUE)
endif()

if(NO_DISPLAY)
  unset(ENV{DISPLAY})
  unset(ENV{WAYLAND_DISPLAY})
  unset(ENV{QT_QPA_PLATFORM})
endif()

set(run_dir "${dir}")
if(PNG_FILE)
  set(run_dir "${OUTPUT_DIR}/${name}")
  file(REMOVE_RECURSE "${run_dir}")
  file(MAKE_DIRECTORY "${run_dir}")
  file(COPY "${SCRIPT}" DESTINATION "${run_dir}")
endif()

execute_process(
  COMMAND "${KELVARIN}" --script "${name}.kvs"
  WORKING_DIRECTORY "${run_dir}"
  OUTPUT_FILE "${actual}"
  ERROR_VARIABLE stderr
  RESULT_VARIABLE status)

if(NOT "${status}" STREQUAL "${expected_status}")
  message(FATAL_ERROR "${name}: exit status ${status}, expected ${expected_status}\n"
                      "standard error: ${stderr}")
endif()
string(STRIP "${stderr}" stderr)
if(check_stderr)
  if(NOT stderr STREQUAL expected_stderr)
    message(FATAL_ERROR "${name}: standard error differs\n"
                        "  expected: ${expected_stderr}\n  actual:   ${stderr}")
  endif()
elseif(expected_status EQUAL 0 AND NOT stderr STREQUAL "")
  message(FATAL_ERROR "${name}: unexpected standard error: ${stderr}")
endif()

execute_process(
  COMMAND "${COMPARE}" "${expected}" "${actual}"
  OUTPUT_VARIABLE difference
  RESULT_VARIABLE compared)
if(NOT compared EQUAL 0)
  message(FATAL_ERROR "${name}: ${difference}")
endif()

if(PNG_FILE)
  set(png "${run_dir}/${PNG_FILE}")
  if(NOT EXISTS "${png}")
    message(FATAL_ERROR "${name}: ${PNG_FILE} was not written")
  endif()
  file(READ "${png}" signature LIMIT 8 HEX)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${name}: ${PNG_FILE} is not a PNG file (starts ${signature})")
  endif()
endif()
