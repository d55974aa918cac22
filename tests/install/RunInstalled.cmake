# Installs the build into an empty PREFIX and runs the installed palvex-run there: it must find
# the installed library on its own, with no library path from the environment. Then builds a
# small host with the installed palvex.pc's flags and runs it against the installed library.
# Inputs: BUILD_DIR, PREFIX, LIBDIR, VERSION, SANITIZE.
include(${CMAKE_CURRENT_LIST_DIR}/PkgConfigHost.cmake)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    OUTPUT_QUIET RESULT_VARIABLE rc ERROR_VARIABLE errors)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install failed (${rc}): ${errors}")
endif()
set(runner ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${PREFIX}/bin/palvex-run)

execute_process(COMMAND ${runner} --list-members
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT listing MATCHES "StartPalvexPrintPreview")
    message(FATAL_ERROR "installed palvex-run --list-members: status ${rc}\n${errors}")
endif()

set(work ${PREFIX}/work)
file(MAKE_DIRECTORY ${work})
file(WRITE ${work}/tiny.pvs "StartPalvexPrintPreview\nprintText \"installed\", 2\n!items\n")
execute_process(COMMAND ${runner} tiny.pvs WORKING_DIRECTORY ${work}
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT output MATCHES "text=\"installed\"\nitems: 1\n")
    message(FATAL_ERROR "installed palvex-run on a script: status ${rc}\n${output}\n${errors}")
endif()

check_pkg_config_host(${PREFIX} ${LIBDIR} ${PREFIX}/pkg-config-host "${SANITIZE}" ${VERSION})
