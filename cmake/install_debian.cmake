# Run at install time when CPack makes the .deb (WANDER_PACKAGE is DEB:
# cmake/package_config.cmake), last: turns the plain install into Debian's layout, where the
# two differ, so that lintian finds the package as Debian's policy wants it.
#  - The game in games/ (/usr/games): Debian keeps games apart from other programs. Its man
#    page is in section 6 already, and the tools stay in bin/.
#  - share/doc/wander/copyright, machine-readable (packaging/copyright), in place of LICENSE,
#    whose text it holds.
#  - share/doc/wander/changelog.gz, the changelog of a native package, dated from
#    SOURCE_DATE_EPOCH (the last commit's date when CPack runs), compressed with gzip -9n.
#  - lintian's overrides (packaging/lintian-overrides, and lintian-overrides-web when the .deb
#    holds the web page), each with the reason its hint is not a fault here.
#  - The README's link to LICENSE leads to the copyright file.
#
# Given: wander_bin_dir, wander_doc_dir (relative to the prefix), wander_source_dir,
# wander_version, wander_maintainer, wander_has_web, wander_scratch (a folder of the build's).

if(NOT "$ENV{WANDER_PACKAGE}" STREQUAL "DEB")
  return()
endif()
# CPack installs the .deb's files with DESTDIR, under the prefix they will have (/usr).
# file(INSTALL) puts DESTDIR in front of its destination itself; the other commands need it.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(prefix "${CMAKE_INSTALL_PREFIX}")

file(MAKE_DIRECTORY "${root}/games")
file(RENAME "${root}/${wander_bin_dir}/wander" "${root}/games/wander")

file(REMOVE "${root}/${wander_doc_dir}/LICENSE")
file(INSTALL "${wander_source_dir}/packaging/copyright" DESTINATION "${prefix}/${wander_doc_dir}")
# The README's link to the licence leads to the copyright file, which holds it.
file(READ "${root}/${wander_doc_dir}/README.md" readme)
string(REPLACE "](LICENSE)" "](copyright)" readme "${readme}")
file(WRITE "${root}/${wander_doc_dir}/README.md" "${readme}")

set(WANDER_VERSION "${wander_version}")
set(WANDER_MAINTAINER "${wander_maintainer}")
# string(TIMESTAMP) takes SOURCE_DATE_EPOCH when it is set.
string(TIMESTAMP WANDER_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file("${wander_source_dir}/packaging/changelog.in" "${wander_scratch}/changelog" @ONLY)
execute_process(COMMAND gzip -9nf "${wander_scratch}/changelog" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip could not compress the changelog (${status})")
endif()
file(INSTALL "${wander_scratch}/changelog.gz" DESTINATION "${prefix}/${wander_doc_dir}")

# Those of the web page only when the .deb holds it: an override of a file that is not there is
# a warning of its own.
file(READ "${wander_source_dir}/packaging/lintian-overrides" overrides)
if(wander_has_web)
  file(READ "${wander_source_dir}/packaging/lintian-overrides-web" web_overrides)
  string(APPEND overrides "${web_overrides}")
endif()
file(WRITE "${wander_scratch}/lintian-overrides/wander" "${overrides}")
file(INSTALL "${wander_scratch}/lintian-overrides/wander"
     DESTINATION "${prefix}/share/lintian/overrides")
