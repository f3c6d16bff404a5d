# Fails when a C or C++ source of the project is not formatted as the
# checked-in .clang-format says. Run as: cmake -DSOURCE_DIR=... -DCLANG_FORMAT=... -P
file(GLOB_RECURSE sources
  ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h
  ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
  ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h ${SOURCE_DIR}/bench/*.c
  ${SOURCE_DIR}/fuzz/*.cpp)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "some sources are not formatted; run clang-format -i on them")
endif()
