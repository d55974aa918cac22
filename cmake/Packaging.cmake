# One Debian package, `palvex`, with everything the project installs: the shared library, the
# public headers, the CMake and pkg-config files, palvex-run and the Python package. Whatever a later part of the
# tree installs without naming a component lands in the same package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME palvex)
set(CPACK_PACKAGE_VENDOR "The Palvex developers")
# Whoever builds a package for distribution puts their own address here.
set(PALVEX_PACKAGE_MAINTAINER "The Palvex developers <palvex@localhost>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${PALVEX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "right-to-left report recorder and print-preview control for Qt 6")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The package's binaries without their symbol tables and debugging information, which make up
# most of their size in a RelWithDebInfo build. No separate debugging-symbols package is made;
# a build tree keeps them for whoever debugs.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME palvex)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary first and indents the lines as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Palvex is a Qt widget that a host program prints a Hebrew, or Hebrew and
English, report into the way it would print on a printer; the control shows
the report in its own preview and prints it through CUPS or to PDF.

This package holds the shared library libpalvex.so.1, its public headers
(C++ and C), CMake package files (find_package(Palvex)), a pkg-config file
(palvex.pc), palvex-run, which runs a text script of calls against one
control, and the Python package palvex (import palvex).")

find_program(PALVEX_DPKG dpkg)
if(PALVEX_DPKG)
    execute_process(COMMAND ${PALVEX_DPKG} --print-architecture
        OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()

# Depends from the binaries themselves where dpkg-shlibdeps can tell (it also gives the lowest
# versions that work), and a shlibs file so that packages built against this one depend on it
# (with ldconfig run on install); CPack finds the binaries with `file`. Without those tools,
# the runtime packages the library and palvex-run link are named here.
find_program(PALVEX_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(PALVEX_FILE file)
# The PDF device reads Qt's private text types, whose layout only this Qt release promises:
# Debian's Qt names its release as a package (qt6-base-abi) that dpkg-shlibdeps adds for the
# private symbols used; without it, it is named here.
set(PALVEX_QT_ABI "qt6-base-abi (= ${Qt6_VERSION})")
if(PALVEX_DPKG_SHLIBDEPS AND PALVEX_FILE)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
else()
    message(STATUS "dpkg-shlibdeps or file missing (packages dpkg-dev, file): the Debian package "
        "names its dependencies without versions and has no shlibs file")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "${PALVEX_QT_ABI}, libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6, libcups2, libharfbuzz0b, libharfbuzz-subset0, libfreetype6, libdeflate0, libstdc++6, libc6")
endif()
# Headers and palvex.pc are of use only with Qt's development files; a host that only runs the
# library can install without them (--no-install-recommends).
# The fonts reports are drawn with: metric-alike Latin, Hebrew, and GNU Unifont as the fallback of
# last resort, so that a character of any script prints as itself rather than as a box.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-base-dev, pkg-config, fonts-liberation2, culmus, fonts-noto-core, fonts-unifont")
# The Python package is pure Python over the library: any Debian Python 3 runs it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3")

# Maintainer scripts: postinst runs ldconfig (as the script CPack writes for a library would) and
# compiles the Python package; prerm removes its byte-code. They name the Python package's folder
# as the package installs it, under CPack's prefix for Debian packages.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(PALVEX_DEB_PYTHON_PACKAGE ${CPACK_PACKAGING_INSTALL_PREFIX}/${PALVEX_PYTHON_INSTALL_DIR}/palvex)
foreach(script postinst prerm)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/${script}.in
        ${PROJECT_BINARY_DIR}/debian/${script} @ONLY)
    list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/${script})
endforeach()
# Maintainer scripts executable, other control files not, whatever the build tree's permissions.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)

# Debian's places for the licence and the change history of a package.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_PACKAGE_NAME} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/CHANGELOG.md
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_PACKAGE_NAME} RENAME changelog)

# Packaging builds only what the package holds. cpack installs through the `preinstall` target,
# which otherwise first builds the whole tree (tests, benchmarks, the demonstration) one file at a
# time, as it runs make without -j: many minutes wherever the tree was not completely built.
# scripts/package.sh builds the package's own targets in parallel and then runs cpack, which then
# builds nothing; `cmake --build BUILD --target install` likewise installs what is built.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
add_custom_target(palvex-package-contents)
add_dependencies(palvex-package-contents palvex palvex-run)

include(CPack)
