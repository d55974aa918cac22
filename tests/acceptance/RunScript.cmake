# Runs SCRIPT with RUNNER in an empty WORKDIR; the first line of the script may hold
# "# args: ..." with palvex-run options. Output must equal SCRIPT's .expected file.
# "# picture: ..." lines make pictures in WORKDIR first (MAKE_PICTURE's arguments), and
# "# then: ..." lines run a command there after the script; what it prints follows the script's
# output, so a script can show what became of its files (pdfimages -list, qpdf --check).
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
file(STRINGS ${SCRIPT} first LIMIT_COUNT 1)
set(extra "")
if(first MATCHES "^# args: (.*)$")
    separate_arguments(extra UNIX_COMMAND "${CMAKE_MATCH_1}")
endif()
file(STRINGS ${SCRIPT} pictures REGEX "^# picture: ")
foreach(picture ${pictures})
    string(REGEX REPLACE "^# picture: " "" picture "${picture}")
    separate_arguments(picture UNIX_COMMAND "${picture}")
    execute_process(COMMAND ${MAKE_PICTURE} ${picture} WORKING_DIRECTORY ${WORKDIR}
        RESULT_VARIABLE made)
    if(NOT made EQUAL 0)
        message(FATAL_ERROR "could not make the picture: ${picture}")
    endif()
endforeach()
execute_process(COMMAND ${RUNNER} ${extra} ${SCRIPT}
    WORKING_DIRECTORY ${WORKDIR}
    OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE rc)
file(STRINGS ${SCRIPT} checks REGEX "^# then: ")
foreach(check ${checks})
    string(REGEX REPLACE "^# then: " "" check "${check}")
    separate_arguments(check UNIX_COMMAND "${check}")
    execute_process(COMMAND ${check} WORKING_DIRECTORY ${WORKDIR}
        OUTPUT_VARIABLE checked ERROR_VARIABLE check_errors)
    string(APPEND actual "${checked}")
    string(APPEND errors "${check_errors}")
endforeach()
string(REGEX REPLACE "\\.pvs$" ".expected" expected_file ${SCRIPT})
file(READ ${expected_file} expected)
if(NOT actual STREQUAL expected)
    file(WRITE ${WORKDIR}/actual.txt "${actual}")
    message(FATAL_ERROR "output differs from ${expected_file} (see ${WORKDIR}/actual.txt)\n--- actual ---\n${actual}\n--- stderr ---\n${errors}")
endif()
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "exit status ${rc}\n${errors}")
endif()
