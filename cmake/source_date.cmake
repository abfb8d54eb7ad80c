# The time every date written into the packages is given (reproducible-builds.org): the
# environment's SOURCE_DATE_EPOCH when it is set, else the last commit's time, so that two
# builds of one commit give the same bytes wherever and whenever they are made. Sources without
# git (a source package) fall back to the date of the newest release in the AppStream metadata
# (packaging/io.github.wandergame.wander.metainfo.xml), at midnight UTC.
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
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  file(READ "${wander_source_dir}/packaging/io.github.wandergame.wander.metainfo.xml"
       wander_metainfo)
  if(NOT wander_metainfo MATCHES "<release [^>]*date=\"([0-9]+)-([0-9]+)-([0-9]+)\"")
    message(FATAL_ERROR "The AppStream metadata holds no release date")
  endif()
  # Days since 1970-01-01 of a date in the proleptic Gregorian calendar, counted in years that
  # start in March, so that a leap day ends its year.
  math(EXPR wander_year "${CMAKE_MATCH_1}")
  math(EXPR wander_month "${CMAKE_MATCH_2}")
  math(EXPR wander_day "${CMAKE_MATCH_3}")
  if(wander_month LESS_EQUAL 2)
    math(EXPR wander_year "${wander_year} - 1")
    math(EXPR wander_month "${wander_month} + 9")
  else()
    math(EXPR wander_month "${wander_month} - 3")
  endif()
  math(EXPR wander_days "${wander_year} * 365 + ${wander_year} / 4 - ${wander_year} / 100 \
                         + ${wander_year} / 400 + (153 * ${wander_month} + 2) / 5 \
                         + ${wander_day} - 1 - 719468")
  math(EXPR wander_epoch "${wander_days} * 86400")
  set(ENV{SOURCE_DATE_EPOCH} "${wander_epoch}")
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
