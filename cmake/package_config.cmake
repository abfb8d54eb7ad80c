# Read by CPack before it makes each package, with CPACK_GENERATOR naming that one.

# Tells the install steps that run next which package they fill (the man pages of an archive
# name its own folder: cmake/install_man_pages.cmake; the .deb has a layout of its own:
# cmake/install_debian.cmake).
set(ENV{WANDER_PACKAGE} "${CPACK_GENERATOR}")

# Every date in the packages (their files' times, the .deb's changelog, the .rpm's build time)
# is SOURCE_DATE_EPOCH: the last commit's time unless it is set already. CPack's archives and
# .deb, rpmbuild (cmake/packaging.cmake) and the install steps take it from the environment.
set(wander_source_dir "${CPACK_WANDER_SOURCE_DIR}")
include("${CPACK_WANDER_SOURCE_DIR}/cmake/source_date.cmake")
