# Run by `cmake --install` and by CPack (see cmake/packaging.cmake): writes the man pages with
# the folder the sample world and the web page were installed to, which is known only now
# (`cmake --install build --prefix ~/.local` gives the prefix at this step, and one build is
# installed under /usr/local and packaged under /usr). Each page is compressed as Debian's
# policy asks, with gzip -9n: no name and no time in it, so that its bytes depend on its text
# alone.
#
# Given: wander_source_dir, whose man/ holds the pages' templates, each named NAME.SECTION.in
# and holding @WANDER_DATA_DIR@ and @WANDER_DOC_DIR@ where the data and documentation folders
# go; wander_man_dir, wander_data_dir and wander_doc_dir, the folders as GNUInstallDirs gives
# them (relative to the prefix, or absolute); wander_scratch, a folder of the build's to write
# the pages in first.
#
# An archive is unpacked wherever its user likes (WANDER_PACKAGE, set by
# cmake/package_config.cmake, names the kind of package being made): its pages name the data
# folder from the archive's own top folder, wander-VERSION-Linux/share/wander.

set(wander_prefix "${CMAKE_INSTALL_PREFIX}")
if("$ENV{WANDER_PACKAGE}" MATCHES "^(TGZ|TXZ|TBZ2|TZST|ZIP)$")
  get_filename_component(wander_prefix "${wander_prefix}" NAME)
endif()
# Each folder as the pages name it. In roff a backslash starts an escape, and a plain hyphen
# may be printed as a typographic one, which a reader could not paste into a shell.
foreach(folder DATA DOC)
  string(TOLOWER "${folder}" name)
  set(path "${wander_${name}_dir}")
  if(NOT IS_ABSOLUTE "${path}")
    set(path "${wander_prefix}/${path}")
  endif()
  string(REPLACE "\\" "\\e" path "${path}")
  string(REPLACE "-" "\\-" path "${path}")
  string(REPLACE "\"" "\\(dq" path "${path}")
  set(WANDER_${folder}_DIR "${path}")
endforeach()

if(IS_ABSOLUTE "${wander_man_dir}")
  set(man_dir "${wander_man_dir}")
else()
  set(man_dir "${CMAKE_INSTALL_PREFIX}/${wander_man_dir}")
endif()
foreach(page wander.6 wander-world.1 wander-make-world.1)
  string(REGEX REPLACE ".*\\." "" section "${page}")
  set(name "${page}")
  configure_file("${wander_source_dir}/man/${page}.in" "${wander_scratch}/${name}" @ONLY)
  execute_process(COMMAND gzip -9nf "${wander_scratch}/${name}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress the man page ${name} (${status}): the man "
                        "pages are installed compressed, and gzip is needed for that")
  endif()
  # file(INSTALL) puts DESTDIR in front and lists the file in install_manifest.txt.
  file(INSTALL "${wander_scratch}/${name}.gz" DESTINATION "${man_dir}/man${section}")
endforeach()
