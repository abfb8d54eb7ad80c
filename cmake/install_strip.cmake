# Run at install time after the programs are installed (cmake/packaging.cmake): a stripped
# install, as CPack makes for every package and `cmake --install --strip` for a tree, loses the
# compilers' notes as well (the .comment and .note sections), which nothing reads at run time.
# Given: wander_bin_dir, wander_strip (the strip program; empty when there is none).

if(NOT CMAKE_INSTALL_DO_STRIP OR NOT wander_strip)
  return()
endif()
foreach(program wander wander-world wander-make-world)
  # A build without nlohmann's JSON library installs the game alone.
  if(NOT EXISTS "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${wander_bin_dir}/${program}")
    continue()
  endif()
  execute_process(COMMAND "${wander_strip}" --remove-section=.comment --remove-section=.note
                          "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${wander_bin_dir}/${program}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${wander_strip} could not strip ${program} (${status})")
  endif()
endforeach()
