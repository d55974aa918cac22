# Builds the Debian package with scripts/package.sh, from the built tree without building
# anything, unpacks it into a scratch root with dpkg -x and checks it from there: its size, its
# control fields, the files it holds, that its binaries are stripped and nothing in it points
# back into the build tree, that the unpacked palvex-run runs on its own with the unpacked
# library, and that a host built with the unpacked palvex.pc links and loads the unpacked
# library. The C test program and the Python package run from the unpacked root as well, and the
# maintainer scripts install and remove the Python package's byte-code there.
# Inputs: BUILD_DIR, WORK, PACKAGE_SCRIPT, CPACK, VERSION, LIBDIR, LICENSE, SANITIZE, C_TEST,
# LSAN_SUPPRESSIONS, PYTHON_DIR, PYTHON3 (the interpreter; empty skips the Python package's run).
include(${CMAKE_CURRENT_LIST_DIR}/PkgConfigHost.cmake)

include(${CMAKE_CURRENT_LIST_DIR}/RunCommand.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env CMAKE=${CMAKE_COMMAND} CPACK=${CPACK}
            bash ${PACKAGE_SCRIPT} ${BUILD_DIR} ${WORK}/out
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${PACKAGE_SCRIPT}: ${rc}\n${out}\n${err}")
endif()
# The tree the tests run in is built: packaging it compiles and links nothing.
if(out MATCHES "Building (C|CXX) object|Linking")
    message(FATAL_ERROR "packaging a built tree built again:\n${out}")
endif()
file(GLOB debs ${WORK}/out/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made ${count} packages, expected one: ${debs}\n${out}")
endif()
set(deb ${debs})
# Stripped binaries and one copy of the control keep the package small; unstripped, with
# palvex-run carrying a copy of its own, it was 23 MB.
file(SIZE ${deb} deb_size)
math(EXPR deb_limit "4 * 1024 * 1024")
# The sanitizers' instrumentation makes the same code several times larger.
if(SANITIZE)
    math(EXPR deb_limit "16 * 1024 * 1024")
endif()
if(deb_size GREATER deb_limit)
    message(FATAL_ERROR "the package is ${deb_size} bytes, more than ${deb_limit}")
endif()

# Control fields.
run(dpkg --print-architecture)
string(STRIP "${out}" arch)
foreach(field Package Version Architecture Depends Section Maintainer Description)
    run(dpkg-deb -f ${deb} ${field})
    string(STRIP "${out}" ${field})
endforeach()
if(NOT Package STREQUAL "palvex" OR NOT Version STREQUAL "${VERSION}-1"
   OR NOT Architecture STREQUAL arch OR Section STREQUAL "" OR NOT Maintainer MATCHES "<.+@.+>")
    message(FATAL_ERROR "control fields: Package '${Package}' Version '${Version}' "
        "Architecture '${Architecture}' (dpkg: ${arch}) Section '${Section}' Maintainer '${Maintainer}'")
endif()
# A one-line summary, then the long description, each of its lines indented by one space.
if(NOT Description MATCHES "^[^\n]+\n [^ ]" OR NOT Description MATCHES "libpalvex\\.so\\.1")
    message(FATAL_ERROR "Description:\n${Description}")
endif()
# The library and palvex-run load Qt Widgets, Print Support, CUPS, HarfBuzz, FreeType and
# libdeflate; a package that does not depend on them installs and then fails to start. The PDF
# device reads Qt's private text types, so the package holds to the Qt release it was built
# against.
foreach(dependency libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libcups2 libc6
                   libharfbuzz-subset0 libfreetype6 libdeflate0 qt6-base-abi)
    if(NOT Depends MATCHES "(^|, )${dependency}( |,|$)")
        message(FATAL_ERROR "Depends lacks ${dependency}: ${Depends}")
    endif()
endforeach()
if(Depends MATCHES "(^|, )palvex( |,|$)")
    message(FATAL_ERROR "the package depends on itself: ${Depends}")
endif()
run(dpkg-deb -e ${deb} ${WORK}/control)
file(READ ${WORK}/control/shlibs shlibs)
if(NOT shlibs MATCHES "^libpalvex 1 palvex \\(>= ${VERSION}")
    message(FATAL_ERROR "shlibs: ${shlibs}")
endif()

# Files.
set(root ${WORK}/root)
run(dpkg -x ${deb} ${root})
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg -x: ${rc}\n${err}")
endif()
set(usr ${root}/usr)
set(expected
    ${LIBDIR}/libpalvex.so.${VERSION} ${LIBDIR}/libpalvex.so.1 ${LIBDIR}/libpalvex.so
    ${LIBDIR}/cmake/Palvex/PalvexConfig.cmake ${LIBDIR}/cmake/Palvex/PalvexConfigVersion.cmake
    ${LIBDIR}/cmake/Palvex/PalvexTargets.cmake ${LIBDIR}/pkgconfig/palvex.pc
    bin/palvex-run share/doc/palvex/copyright share/doc/palvex/changelog
    ${PYTHON_DIR}/palvex/__init__.py ${PYTHON_DIR}/palvex/_location.py)
foreach(file ${expected})
    if(NOT EXISTS ${usr}/${file})
        message(FATAL_ERROR "the package lacks /usr/${file}")
    endif()
endforeach()
file(GLOB headers RELATIVE ${usr}/include ${usr}/include/*)
list(SORT headers)
file(GLOB palvex_headers RELATIVE ${usr}/include ${usr}/include/palvex/*)
list(SORT palvex_headers)
set(public_headers palvex/Application.h palvex/Dispatch.h palvex/Enumerations.h palvex/Export.h palvex/MemberTable.h
    palvex/Out.h palvex/Palvex.h palvex/ReportWriter.h palvex/Status.h palvex/Variant.h palvex/palvex_c.h)
if(NOT headers STREQUAL "palvex" OR NOT palvex_headers STREQUAL public_headers)
    message(FATAL_ERROR "headers in the package: ${headers} ${palvex_headers}\nexpected: ${public_headers}")
endif()
file(READ ${usr}/share/doc/palvex/copyright copyright)
file(READ ${LICENSE} licence)
if(NOT copyright STREQUAL licence)
    message(FATAL_ERROR "/usr/share/doc/palvex/copyright is not the project's licence")
endif()

# Nothing in the package finds its libraries through the build tree, and its binaries carry no
# symbol table or debugging information (the dynamic symbols, which the loader uses, stay).
foreach(binary ${LIBDIR}/libpalvex.so.${VERSION} bin/palvex-run)
    run(readelf -d ${usr}/${binary})
    string(FIND "${out}" "${BUILD_DIR}" in_build_tree)
    if(NOT rc EQUAL 0 OR NOT in_build_tree EQUAL -1)
        message(FATAL_ERROR "/usr/${binary} points into the build tree or is unreadable:\n${out}${err}")
    endif()
    run(readelf -S -W ${usr}/${binary})
    if(NOT rc EQUAL 0 OR out MATCHES " \\.(symtab|debug_[a-z_]+) ")
        message(FATAL_ERROR "/usr/${binary} is not stripped:\n${out}${err}")
    endif()
endforeach()

# The unpacked palvex-run on its own, with no library path from the environment.
set(runner ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${usr}/bin/palvex-run)
run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ldd ${usr}/bin/palvex-run)
if(NOT rc EQUAL 0 OR out MATCHES "not found")
    message(FATAL_ERROR "ldd of the unpacked palvex-run:\n${out}${err}")
endif()
# palvex-run uses the package's library, found through its run path, and has no copy of its own.
expect_library_from("${out}" ${usr}/${LIBDIR}/libpalvex.so.1 "the unpacked palvex-run")
run(${runner} --list-members)
if(NOT rc EQUAL 0 OR NOT out MATCHES "StartPalvexPrintPreview")
    message(FATAL_ERROR "unpacked palvex-run --list-members: status ${rc}\n${err}")
endif()
file(MAKE_DIRECTORY ${WORK}/script)
file(WRITE ${WORK}/script/tiny.pvs "StartPalvexPrintPreview\nprintText \"packaged\", 2\n!items\n")
execute_process(COMMAND ${runner} tiny.pvs WORKING_DIRECTORY ${WORK}/script
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT out MATCHES "text=\"packaged\"\nitems: 1\n")
    message(FATAL_ERROR "unpacked palvex-run on a script: status ${rc}\n${out}\n${err}")
endif()

# The unpacked shared library, through the unpacked palvex.pc.
check_pkg_config_host(${usr} ${LIBDIR} ${WORK}/pkg-config-host "${SANITIZE}" ${VERSION})

# A C program built from the C test's source with the unpacked palvex.pc, run on the unpacked
# library: it records, exports a PDF and reads a by-reference argument back.
set(c_work ${WORK}/c-host)
file(MAKE_DIRECTORY ${c_work})
pkg_config_flags(${usr} ${LIBDIR} c_flags)
set(sanitize_flags "")
set(c_run_env ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${usr}/${LIBDIR})
if(SANITIZE)
    set(sanitize_flags -fsanitize=address,undefined)
    list(APPEND c_run_env LSAN_OPTIONS=suppressions=${LSAN_SUPPRESSIONS})
endif()
run(gcc -std=c99 -Werror -Wall ${sanitize_flags} ${C_TEST} -o ${c_work}/record-test ${c_flags})
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the C test built with the unpacked palvex.pc: ${rc}\n${out}\n${err}")
endif()
run(${c_run_env} ${c_work}/record-test ${c_work})
if(NOT rc EQUAL 0 OR NOT out MATCHES "^ok: ")
    message(FATAL_ERROR "the C test on the unpacked library: ${rc}\n${out}\n${err}")
endif()

# The unpacked Python package finds the unpacked library by itself: no PALVEX_LIBRARY, no
# library path. It writes byte-code beside itself, as an interpreter run by root does in /usr,
# which the maintainer scripts below must clean away. (An interpreter cannot load the sanitized
# library; that build skips this.)
if(PYTHON3 AND NOT SANITIZE)
    file(MAKE_DIRECTORY ${WORK}/python)
    set(program "import palvex, os
r = palvex.Report()
r.WorkingFolder = os.getcwd()
r.StartPalvexPrintPreview()
r.printText('שלום', palvex.A2_JumpToNextLine)
r.printLastPage()
r.ExportPdf('packaged.pdf')
print(os.path.realpath(palvex._native.lib._name))
")
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH
            --unset=PALVEX_LIBRARY --unset=PYTHONDONTWRITEBYTECODE PYTHONPATH=${usr}/${PYTHON_DIR}
            ${PYTHON3} -c "${program}"
        WORKING_DIRECTORY ${WORK}/python RESULT_VARIABLE rc OUTPUT_VARIABLE out
        ERROR_VARIABLE err OUTPUT_STRIP_TRAILING_WHITESPACE)
    file(REAL_PATH ${usr}/${LIBDIR}/libpalvex.so.1 expected_library)
    if(NOT rc EQUAL 0 OR NOT out STREQUAL expected_library OR NOT EXISTS ${WORK}/python/packaged.pdf)
        message(FATAL_ERROR "the unpacked Python package: ${rc}\nloaded '${out}', "
            "expected '${expected_library}'\n${err}")
    endif()
endif()

# The maintainer scripts, run as dpkg runs them on install, remove and purge, on the unpacked root
# (DPKG_ROOT), with an ldconfig of the test's own first on the PATH so that the machine's loader
# cache is left alone. postinst compiles the Python package where an interpreter is installed;
# after prerm and the removal of every file the package holds, nothing is left in the Python
# package's folder, so dpkg removes it and `import palvex` fails as it should.
set(python_package ${usr}/${PYTHON_DIR}/palvex)
foreach(script postinst prerm postrm)
    run(test -x ${WORK}/control/${script})
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "the package has no executable ${script}")
    endif()
endforeach()
set(stub_bin ${WORK}/maintainer-bin)
file(WRITE ${stub_bin}/ldconfig "#!/bin/sh\necho ldconfig >> ${WORK}/ldconfig-ran\n")
file(CHMOD ${stub_bin}/ldconfig PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(as_dpkg ${CMAKE_COMMAND} -E env DPKG_ROOT=${root} "PATH=${stub_bin}:$ENV{PATH}")

run(${as_dpkg} ${WORK}/control/postinst configure)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "postinst configure: ${rc}\n${out}\n${err}")
endif()
if(NOT EXISTS ${WORK}/ldconfig-ran)
    message(FATAL_ERROR "postinst configure did not run ldconfig for the library")
endif()
find_program(py3compile py3compile)
if(py3compile OR EXISTS /usr/bin/python3)
    file(GLOB sources RELATIVE ${python_package} ${python_package}/*.py)
    foreach(source ${sources})
        string(REGEX REPLACE "\\.py$" "" module ${source})
        file(GLOB compiled ${python_package}/__pycache__/${module}.*.pyc)
        if(NOT compiled)
            message(FATAL_ERROR "postinst left ${source} uncompiled")
        endif()
    endforeach()
endif()

# Removing, then purging: prerm before the files go, postrm after.
run(${as_dpkg} ${WORK}/control/prerm remove)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "prerm remove: ${rc}\n${out}\n${err}")
endif()
run(dpkg-deb -c ${deb})
string(REPLACE "\n" ";" entries "${out}")
foreach(entry ${entries})
    if(entry MATCHES "^[^d][^ ]* .* \\./([^ ]+)")
        file(REMOVE ${root}/${CMAKE_MATCH_1})
    endif()
endforeach()
file(GLOB_RECURSE left LIST_DIRECTORIES true ${python_package}/*)
if(left)
    message(FATAL_ERROR "left in the Python package's folder after removal: ${left}")
endif()
foreach(action remove purge)
    run(${as_dpkg} ${WORK}/control/postrm ${action})
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "postrm ${action}: ${rc}\n${out}\n${err}")
    endif()
endforeach()
