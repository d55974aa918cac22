# Runs COMMAND ("|"-separated) in a new, empty WORKDIR as a server (cron, a web back end) runs
# it: with DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM, XDG_RUNTIME_DIR and PALVEX_QUIET removed
# from the environment, a temporary folder of its own (TMPDIR) and the variables of ENVIRONMENT
# ("|"-separated NAME=VALUE) added. It must end with exit status EXPECT_RC (not a signal: Qt
# ending the process is what this guards against), write the files WRITES ("|"-separated, from
# WORKDIR) and print nothing that reports a failed call. With SILENT its standard error must be
# empty, as a cron job's mail is when all went well; without, it says once that no display could
# be opened, and Qt does not warn of a missing runtime folder.
string(REPLACE "|" ";" command "${COMMAND}")
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/tmp)
string(REPLACE "|" ";" environment "${ENVIRONMENT}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=QT_QPA_PLATFORM --unset=XDG_RUNTIME_DIR --unset=PALVEX_QUIET
            TMPDIR=${WORKDIR}/tmp ${environment} ${command}
    WORKING_DIRECTORY ${WORKDIR} OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE rc
    TIMEOUT 120)
if(NOT "${rc}" STREQUAL "${EXPECT_RC}")
    message(FATAL_ERROR "exit status ${rc}, expected ${EXPECT_RC}\n${output}\n${errors}")
endif()
if(output MATCHES "(^|\n)error [0-9]+:" OR errors MATCHES "FAILED")
    message(FATAL_ERROR "a call failed:\n${output}\n${errors}")
endif()
string(REPLACE "|" ";" writes "${WRITES}")
foreach(written ${writes})
    set(size 0)
    if(EXISTS ${WORKDIR}/${written})
        file(SIZE ${WORKDIR}/${written} size)
    endif()
    if(size EQUAL 0)
        message(FATAL_ERROR "${written} was not written\n${output}\n${errors}")
    endif()
endforeach()
if(SILENT)
    if(NOT errors STREQUAL "")
        message(FATAL_ERROR "standard error is not empty:\n${errors}")
    endif()
    return()
endif()
string(REGEX MATCHALL "no display could be opened" notes "${errors}")
list(LENGTH notes count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "the missing display was said ${count} times, not once:\n${errors}")
endif()
if(errors MATCHES "XDG_RUNTIME_DIR")
    message(FATAL_ERROR "Qt was left without a runtime folder:\n${errors}")
endif()
