# Runs COMMAND ("|"-separated) in an empty WORKDIR, into which the files of COPY ("|"-separated)
# are copied first. It must succeed, report no error, and leave PDF (small_report.pdf unless
# given) there, which qpdf finds sound and whose text (pdftotext -layout) must be EXPECTED's, column for column:
# the spacing is where each text stands on the page. pdftotext wraps right-to-left runs in
# invisible direction marks (U+202A to U+202E); they are dropped, as are blanks at line ends.
function(normalise text out)
    foreach(last 170 171 172 173 174)
        string(ASCII 226 128 ${last} mark) # U+202A..U+202E in UTF-8
        string(REPLACE "${mark}" "" text "${text}")
    endforeach()
    string(ASCII 12 form_feed) # between pages
    string(REPLACE "${form_feed}" "\n" text "${text}")
    string(REGEX REPLACE "[ \t]+\n" "\n" text "${text}")
    string(REGEX REPLACE "[ \t\n]+$" "" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE "|" ";" command "${COMMAND}")
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
if(COPY)
    string(REPLACE "|" ";" copies "${COPY}")
    file(COPY ${copies} DESTINATION ${WORKDIR})
endif()
if(NOT PDF)
    set(PDF small_report.pdf)
endif()
execute_process(COMMAND ${command} WORKING_DIRECTORY ${WORKDIR}
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "exit status ${rc}\n${output}\n${errors}")
endif()
# The script host reports a failed call on its output and goes on.
if(output MATCHES "(^|\n)error [0-9]+:")
    message(FATAL_ERROR "a call failed:\n${output}")
endif()
set(pdf ${WORKDIR}/${PDF})
if(NOT EXISTS ${pdf})
    message(FATAL_ERROR "no ${pdf}\n${output}\n${errors}")
endif()
# Every PDF the control writes passes qpdf's check without a warning (exit status 3).
execute_process(COMMAND qpdf --check ${pdf} OUTPUT_VARIABLE check ERROR_VARIABLE check
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "qpdf --check ${pdf}: ${rc}\n${check}")
endif()
execute_process(COMMAND pdftotext -layout ${pdf} - OUTPUT_VARIABLE actual RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pdftotext could not read ${pdf}")
endif()
file(READ ${EXPECTED} expected)
normalise("${actual}" actual)
normalise("${expected}" expected)
if(NOT actual STREQUAL expected)
    file(WRITE ${WORKDIR}/actual.txt "${actual}\n")
    message(FATAL_ERROR "the PDF's text differs from ${EXPECTED} (see ${WORKDIR}/actual.txt)\n"
                        "--- actual ---\n${actual}\n--- expected ---\n${expected}")
endif()
