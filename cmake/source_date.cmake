# The time every date written into the packages is given (reproducible-builds.org): the
# environment's SOURCE_DATE_EPOCH when it is set, else the last commit's time, so that two
# builds of one commit give the same bytes wherever and whenever they are made. Without either
# (sources without git), it stays unset, and the packages carry the time they were made.
#
#   include(cmake/source_date.cmake) with wander_source_dir set: sets ENV{SOURCE_DATE_EPOCH}.
#   cmake -Dwander_source_dir=DIR -P cmake/source_date.cmake -- COMMAND ARG...: runs COMMAND
#       with it, failing when it fails (how the build packs the VS Code extension).

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  find_program(wander_git git)
  if(wander_git)
    execute_process(COMMAND "${wander_git}" -C "${wander_source_dir}" log -1 --format=%ct
                    OUTPUT_VARIABLE wander_commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE wander_git_status ERROR_QUIET)
    if(wander_git_status EQUAL 0 AND wander_commit_time MATCHES "^[0-9]+$")
      set(ENV{SOURCE_DATE_EPOCH} "${wander_commit_time}")
    endif()
  endif()
endif()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  set(wander_command)
  set(wander_in_command OFF)
  foreach(i RANGE 1 ${CMAKE_ARGC})
    if(wander_in_command AND DEFINED CMAKE_ARGV${i})
      list(APPEND wander_command "${CMAKE_ARGV${i}}")
    elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
      set(wander_in_command ON)
    endif()
  endforeach()
  execute_process(COMMAND ${wander_command} RESULT_VARIABLE wander_status)
  if(NOT wander_status EQUAL 0)
    message(FATAL_ERROR "${wander_command} failed (${wander_status})")
  endif()
endif()
