# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack for each package it makes. Without dpkg-shlibdeps CPack quietly leaves out every
# library the game links, Qt's too, and the package installs a game that cannot start.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_DEBIAN_PACKAGE_SHLIBDEPS)
    find_program(KOVELITH_SHLIBDEPS dpkg-shlibdeps)
    if(NOT KOVELITH_SHLIBDEPS)
        message(FATAL_ERROR "dpkg-shlibdeps is missing: install dpkg-dev (scripts/package does)")
    endif()
endif()
