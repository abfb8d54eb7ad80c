# What `cmake --install` puts where, and the packages CPack makes of it:
#   cmake --build build --target package    # Linux: .deb and .tar.gz; Windows: .zip
if(EMSCRIPTEN)
  return()  # the web build is published as a page (wander-world publish), not installed
endif()
set(WANDER_PACKAGE_MAINTAINER "The wander developers <developers@wander.invalid>" CACHE STRING
    "Who made the packages, as a name and an email address: the .deb's Maintainer, the .rpm's Packager")

if(WIN32)
  # One folder, as a Windows player unpacks it: the programs beside the sample world, so that
  # starting wander.exe in that folder plays Gull Rock.
  set(wander_bin_dir .)
  set(wander_data_dir .)
  set(wander_doc_dir .)
else()
  include(GNUInstallDirs)
  set(wander_bin_dir ${CMAKE_INSTALL_BINDIR})
  set(wander_data_dir ${CMAKE_INSTALL_DATADIR}/wander)
  set(wander_doc_dir ${CMAKE_INSTALL_DOCDIR})
endif()
# What the steps below that run at install time (cmake/install_*.cmake) are given: the folders,
# relative to the prefix that is known only then, and what this build installs.
install(CODE "
  set(wander_bin_dir [[${wander_bin_dir}]])
  set(wander_data_dir [[${wander_data_dir}]])
  set(wander_doc_dir [[${wander_doc_dir}]])
  set(wander_man_dir [[${CMAKE_INSTALL_MANDIR}]])
  set(wander_source_dir [[${PROJECT_SOURCE_DIR}]])
  set(wander_scratch [[${PROJECT_BINARY_DIR}/install]])
  set(wander_strip [[${CMAKE_STRIP}]])
  set(wander_version [[${PROJECT_VERSION}]])
  set(wander_maintainer [[${WANDER_PACKAGE_MAINTAINER}]])
  set(wander_has_web [[${WANDER_HAS_WEB}]])")
if(NOT WIN32)
  # The man pages name the installed data and documentation folders.
  install(SCRIPT cmake/install_man_pages.cmake)
  # What software centres list wander from (AppStream).
  install(FILES ${WANDER_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES completion/wander-world.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME wander-world)
  install(FILES completion/wander-make-world.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
          RENAME wander-make-world)
  # The web page, when this build has one (WANDER_WEB or WANDER_WEB_BUILD), where an installed
  # `wander-world publish` finds it from its own folder (tools/publish/CMakeLists.txt). It is the
  # sample world's page, published as an author would, under the world's title. Not in the
  # Windows folder, whose programs stand beside the sample world: there, publish is given the
  # page with --page.
  if(WANDER_HAS_WEB AND NOT CMAKE_CROSSCOMPILING)
    set(sample_page ${PROJECT_BINARY_DIR}/page)
    file(GLOB web_page CONFIGURE_DEPENDS ${WANDER_WEB_BUILD}/page/*)
    # The studio (web/studio.html) stands beside it, built where the language server is: the
    # web build finds nlohmann's headers where this one does (a named web build, when it has it).
    set(copy_studio)
    set(studio_files)
    if(TARGET wander_lsp AND (TARGET wander_web OR EXISTS ${WANDER_WEB_BUILD}/studio/studio.html))
      set(copy_studio COMMAND ${CMAKE_COMMAND} -E copy_directory ${WANDER_WEB_BUILD}/studio
                              ${sample_page})
      set(studio_files ${WANDER_STUDIO_FILES})
      list(TRANSFORM studio_files PREPEND ${WANDER_WEB_BUILD}/studio/)
    endif()
    add_custom_command(OUTPUT ${sample_page}/index.html
                       COMMAND wander-world publish --title "Gull Rock"
                               --page ${WANDER_WEB_BUILD}/page
                               ${PROJECT_SOURCE_DIR}/examples/World.txt ${sample_page}
                       ${copy_studio}
                       DEPENDS wander-world ${web_page} ${WANDER_WEB_BUILD}/page/index.html
                               ${studio_files}
                               ${PROJECT_SOURCE_DIR}/examples/World.txt
                       VERBATIM)
    add_custom_target(sample-page ALL DEPENDS ${sample_page}/index.html)
    if(TARGET wander_web)
      add_dependencies(sample-page wander_web)
    endif()
    install(DIRECTORY ${sample_page}/ DESTINATION ${wander_data_dir}/web)
  endif()
endif()
# The tools are built when nlohmann's JSON library was found (CMakeLists.txt).
set(wander_programs wander)
if(TARGET wander-world)
  list(APPEND wander_programs wander-world wander-make-world)
endif()
install(TARGETS ${wander_programs} RUNTIME DESTINATION ${wander_bin_dir})
# The schema of check's JSON output, for the programs that read it.
install(FILES examples/World.txt examples/map.svg tools/diagnostics/diagnostics.schema.json
        DESTINATION ${wander_data_dir})
# The documentation, whole: the README and docs/ with the pictures they show, laid out as in the
# sources, their links to files installed elsewhere rewritten (cmake/install_docs.cmake).
install(FILES LICENSE DESTINATION ${wander_doc_dir})
install(FILES web/screenshot.png web/screenshot-phone.png web/screenshot-studio.png
        DESTINATION ${wander_doc_dir}/web)
install(FILES editors/screenshot/neovim.png DESTINATION ${wander_doc_dir}/editors/screenshot)
install(SCRIPT cmake/install_docs.cmake)
if(NOT WIN32)
  # A stripped install (the packages, `cmake --install --strip`) leaves out the compilers'
  # notes as well.
  install(SCRIPT cmake/install_strip.cmake)
  # Last: the .deb's own layout (the game in games/, the copyright file and the changelog), and
  # the .rpm's files' times.
  install(SCRIPT cmake/install_debian.cmake)
  install(SCRIPT cmake/install_rpm.cmake)
endif()

set(CPACK_PACKAGE_NAME wander)
set(CPACK_PACKAGE_VENDOR "The wander developers")
set(CPACK_PACKAGE_CONTACT "${WANDER_PACKAGE_MAINTAINER}")
# Debian's synopsis: a noun phrase, without an article.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "console text adventure whose whole world lives in one plain text file")
set(CPACK_PACKAGE_DESCRIPTION "\
You write the rooms, their exits and the objects worth a closer look into\n\
World.txt: wander reads it from the current folder and lets a player walk\n\
through it at a prompt. wander-world checks a world for mistakes and draws\n\
its map. Gull Rock, a sample world, is included.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/package_config.cmake)
set(CPACK_WANDER_SOURCE_DIR ${PROJECT_SOURCE_DIR})  # for package_config.cmake, at package time
# The portable build (WANDER_PORTABLE, CMakePresets.json) is packed as an archive to unpack
# anywhere, the distribution build as a .deb and, when rpmbuild is there (Debian: apt-get install
# rpm), an .rpm. -DCPACK_GENERATOR=... asks for others.
if(NOT CPACK_GENERATOR)
  if(WIN32)
    set(CPACK_GENERATOR ZIP)
  elseif(WANDER_PORTABLE)
    set(CPACK_GENERATOR TGZ)
  else()
    set(CPACK_GENERATOR DEB)
    find_program(RPMBUILD rpmbuild)
    if(RPMBUILD)
      list(APPEND CPACK_GENERATOR RPM)
    endif()
  endif()
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The C and C++ runtimes the programs were linked with, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS graphviz)

# The .rpm, when rpmbuild is there (Debian: apt-get install rpm): the plain install's layout,
# as Fedora keeps games in /usr/bin too. rpmlint checks it with packaging/rpmlint.toml.
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_SUMMARY
    "Console text adventure whose whole world lives in one plain text file")
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP "Amusements/Games")
# Not relocatable: the man pages name the folders it installs to. (Only the .rpm and macOS's
# bundles read CPACK_PACKAGE_RELOCATABLE; the archives can be unpacked anywhere all the same.)
set(CPACK_PACKAGE_RELOCATABLE OFF)
# The folders of the man pages belong to the system (the filesystem package), not to wander.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
    /usr/share/man /usr/share/man/man1 /usr/share/man/man6)
# rpmbuild takes the time of the build and its files' times from SOURCE_DATE_EPOCH (set by
# package_config.cmake), and names no build host, so that two builds of a commit are the same.
string(JOIN "\n" CPACK_RPM_SPEC_MORE_DEFINE
       "%define packager ${WANDER_PACKAGE_MAINTAINER}"
       "%define use_source_date_epoch_as_buildtime 1"
       "%define clamp_mtime_to_source_date_epoch 1"
       "%define _buildhost reproducible")
# The licence marked as such, which `rpm --excludedocs` keeps.
set(CPACK_RPM_USER_FILELIST "%license /usr/${CMAKE_INSTALL_DOCDIR}/LICENSE")
# The npm packages the .rpm carries, as Fedora declares bundled code: those the web page is
# made of, and those bundled into the VS Code extension, at their versions in the lockfiles.
function(wander_bundled_npm lockfile out)
  file(READ ${lockfile} lock)
  string(JSON count LENGTH "${lock}" packages)
  set(provides)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON path MEMBER "${lock}" packages ${i})
    string(JSON dev ERROR_VARIABLE no_dev GET "${lock}" packages "${path}" dev)
    if(path STREQUAL "" OR dev STREQUAL "ON")
      continue()
    endif()
    string(JSON version GET "${lock}" packages "${path}" version)
    string(REGEX REPLACE ".*node_modules/" "" name "${path}")
    list(APPEND provides "bundled(npm(${name})) = ${version}")
  endforeach()
  set(${out} ${provides} PARENT_SCOPE)
endfunction()
set(bundled)
if(WANDER_HAS_WEB)
  # The page carries xterm.js and its fit add-on alone of web/'s packages.
  file(READ ${PROJECT_SOURCE_DIR}/web/package-lock.json lock)
  foreach(name @xterm/xterm @xterm/addon-fit)
    string(JSON version GET "${lock}" packages node_modules/${name} version)
    list(APPEND bundled "bundled(npm(${name})) = ${version}")
  endforeach()
endif()
if(WANDER_VSCODE)
  wander_bundled_npm(${PROJECT_SOURCE_DIR}/editors/vscode/package-lock.json vscode_bundled)
  list(APPEND bundled ${vscode_bundled})
endif()
list(REMOVE_DUPLICATES bundled)
string(REPLACE ";" ", " CPACK_RPM_PACKAGE_PROVIDES "${bundled}")

# The source package, `cmake --build build --target package_source`: the sources as git holds
# them, without the build folders, npm's packages or the editors' leftovers.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME wander-${PROJECT_VERSION})
# The patterns are regular expressions, written as they are into CPack's configuration, where a
# backslash would start an escape: special characters stand in brackets instead, the folders'
# own names' included.
string(REGEX REPLACE "([.+*?()^$|])" "[\\1]" source_dir_pattern "${PROJECT_SOURCE_DIR}")
string(REGEX REPLACE "([.+*?()^$|])" "[\\1]" binary_dir_pattern "${PROJECT_BINARY_DIR}")
set(CPACK_SOURCE_IGNORE_FILES
    "/[.]git/" "/[.]git$" "/node_modules/" "^${source_dir_pattern}/build[^/]*/"
    "^${binary_dir_pattern}/" "/CMakeUserPresets[.]json$" "~$" "/[.][^/]*[.]sw.$")
include(CPack)
