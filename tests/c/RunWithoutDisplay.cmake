# Runs COMMAND ("|"-separated) in a new, empty WORKDIR as a server runs it: with DISPLAY,
# WAYLAND_DISPLAY and QT_QPA_PLATFORM removed from the environment. It must end with exit status
# EXPECT_RC (not a signal: Qt ending the process is what this guards against), say once on
# standard error that no display could be opened, and print nothing that reports a failed call.
string(REPLACE "|" ";" command "${COMMAND}")
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=QT_QPA_PLATFORM ${command}
    WORKING_DIRECTORY ${WORKDIR} OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE rc
    TIMEOUT 120)
if(NOT "${rc}" STREQUAL "${EXPECT_RC}")
    message(FATAL_ERROR "exit status ${rc}, expected ${EXPECT_RC}\n${output}\n${errors}")
endif()
string(REGEX MATCHALL "no display could be opened" notes "${errors}")
list(LENGTH notes count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "the missing display was said ${count} times, not once:\n${errors}")
endif()
if(output MATCHES "(^|\n)error [0-9]+:" OR errors MATCHES "FAILED")
    message(FATAL_ERROR "a call failed:\n${output}\n${errors}")
endif()
