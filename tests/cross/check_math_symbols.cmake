cmake_minimum_required(VERSION 3.25)
# Fails when an object of the battle or the picture needs a function of the
# maths library other than the ALLOWED ones, or when the probe, built to call
# sin and llround, shows neither (then the check could not see them either).
#   cmake -DNM=nm -DPROBE=probe.o -DOBJECTS="a.a|b.a" -DALLOWED="floor|sqrt" -P check_math_symbols.cmake
# The names are those of C's <math.h> and the usual extensions, with float
# and long double forms, leading underscores, glibc's _finite forms and
# Windows' __imp_ prefix for imported ones.
set(names "a?(sin|cos|tan)h?|atan2|sincos|exp(2|10|m1)?|pow(10)?|log(2|10|1p|b)?|ilogb|frexp|ldexp|modf"
          "|scalbl?n|cbrt|sqrt|hypot|fabs|erfc?|[lt]gamma|gamma|ceil|floor|trunc|l?l?round|l?l?rint"
          "|nearbyint|fmod|remainder|remquo|drem|copysign|nan|nextafter|nexttoward|fdim|fmax|fmin|fma"
          "|[jy][01n]|significand")
string(JOIN "" names ${names})
set(maths "^(__imp_)?_*(${names})[fl]?(_finite)?$")

# The undefined symbols of FILE that are maths functions, in `out`.
function(maths_needed file out)
  execute_process(COMMAND ${NM} -u ${file} OUTPUT_VARIABLE text ERROR_VARIABLE error RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${file}: ${error}")
  endif()
  string(REGEX MATCHALL "U [^\n]+" lines "${text}")
  set(found "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^U +" "" name "${line}")
    string(STRIP "${name}" name)
    if(name MATCHES "${maths}")
      string(REGEX REPLACE "^__imp_" "" name "${name}")
      list(APPEND found ${name})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

maths_needed(${PROBE} probe)
if(NOT "sin" IN_LIST probe OR NOT "llround" IN_LIST probe)
  message(FATAL_ERROR "the probe built to call sin and llround shows [${probe}]: the check is blind")
endif()

string(REPLACE "|" ";" objects "${OBJECTS}")
string(REPLACE "|" ";" allowed "${ALLOWED}")
set(bad "")
foreach(object IN LISTS objects)
  maths_needed(${object} needed)
  foreach(name IN LISTS needed)
    if(NOT name IN_LIST allowed)
      get_filename_component(file ${object} NAME)
      string(APPEND bad "  ${file}: ${name}\n")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "maths library functions other than ${allowed}:\n${bad}")
endif()
list(LENGTH objects n)
message(STATUS "${n} libraries need no maths function but ${allowed}")
