# Read by CPack before it makes each package, with CPACK_GENERATOR naming that one: tells the
# install steps that run next which package they fill (the man pages of an archive name its
# own folder: cmake/install_man_pages.cmake).
set(ENV{WANDER_PACKAGE} "${CPACK_GENERATOR}")
