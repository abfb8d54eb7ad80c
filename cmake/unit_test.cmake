# wander_unit_test(NAME SOURCES file... LIBRARIES target... [CASES MACRO=file...]
#                  [DEFINITIONS MACRO=value...])
# A unit test: the GoogleTest program NAME, built from SOURCES and linked with LIBRARIES and
# GoogleTest's main, each of its tests registered with ctest on its own. CASES names the data
# files of its cases, beside it in the current folder: MACRO=file defines MACRO as that file's
# path, in quotes. DEFINITIONS are defined as they are.
function(wander_unit_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES;CASES;DEFINITIONS")
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gtest_main)
  foreach(case_file ${arg_CASES})
    string(REGEX REPLACE "^([A-Za-z0-9_]+)=(.*)$" "\\1=\"${CMAKE_CURRENT_SOURCE_DIR}/\\2\""
           definition "${case_file}")
    target_compile_definitions(${name} PRIVATE ${definition})
  endforeach()
  if(arg_DEFINITIONS)
    target_compile_definitions(${name} PRIVATE ${arg_DEFINITIONS})
  endif()
  gtest_discover_tests(${name})
endfunction()
