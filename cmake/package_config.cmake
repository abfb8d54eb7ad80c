# Read by CPack before it makes each package, with CPACK_GENERATOR naming that one.

# Tells the install steps that run next which package they fill (the man pages of an archive
# name its own folder: cmake/install_man_pages.cmake; the .deb has a layout of its own:
# cmake/install_debian.cmake).
set(ENV{WANDER_PACKAGE} "${CPACK_GENERATOR}")

# Every date in the packages (their files' times, the .deb's changelog) is the last commit's,
# unless SOURCE_DATE_EPOCH is set already (reproducible-builds.org): two builds of one commit
# give the same bytes, wherever and whenever they are made. CPack's archives and .deb take it
# from the environment.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  find_program(wander_git git)
  if(wander_git)
    execute_process(COMMAND "${wander_git}" -C "${CPACK_WANDER_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
      set(ENV{SOURCE_DATE_EPOCH} "${commit_time}")
    endif()
  endif()
endif()
