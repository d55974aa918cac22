# Runs SCRIPT with RUNNER in an empty WORKDIR; the first line of the script may hold
# "# args: ..." with palvex-run options. Output must equal SCRIPT's .expected file.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
file(STRINGS ${SCRIPT} first LIMIT_COUNT 1)
set(extra "")
if(first MATCHES "^# args: (.*)$")
    separate_arguments(extra UNIX_COMMAND "${CMAKE_MATCH_1}")
endif()
execute_process(COMMAND ${RUNNER} ${extra} ${SCRIPT}
    WORKING_DIRECTORY ${WORKDIR}
    OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE rc)
string(REGEX REPLACE "\\.pvs$" ".expected" expected_file ${SCRIPT})
file(READ ${expected_file} expected)
if(NOT actual STREQUAL expected)
    file(WRITE ${WORKDIR}/actual.txt "${actual}")
    message(FATAL_ERROR "output differs from ${expected_file} (see ${WORKDIR}/actual.txt)\n--- actual ---\n${actual}\n--- stderr ---\n${errors}")
endif()
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "exit status ${rc}\n${errors}")
endif()
