# Run at install time when CPack makes the .rpm (WANDER_PACKAGE is RPM:
# cmake/package_config.cmake), last: gives every file and folder SOURCE_DATE_EPOCH's time.
# rpmbuild takes a file's own time and only brings later ones back to SOURCE_DATE_EPOCH
# (cmake/packaging.cmake), and the files copied from the sources have the time they were
# checked out; CPack gives the .deb's and the archives' files the one time itself.

if(NOT "$ENV{WANDER_PACKAGE}" STREQUAL "RPM" OR NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  return()
endif()
# CPack installs the .rpm's files with DESTDIR, a folder of their own.
file(GLOB_RECURSE paths LIST_DIRECTORIES true "$ENV{DESTDIR}/*")
execute_process(COMMAND touch --no-dereference "--date=@$ENV{SOURCE_DATE_EPOCH}" ${paths}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "touch could not set the times of the .rpm's files (${status})")
endif()
