execute_process(COMMAND ${RUNNER} --list-members OUTPUT_VARIABLE actual RESULT_VARIABLE rc
    ENVIRONMENT QT_QPA_PLATFORM=offscreen)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "palvex-run --list-members failed: ${rc}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "docs/interface.md is out of date: run `cmake --build build --target interface-doc`")
endif()
