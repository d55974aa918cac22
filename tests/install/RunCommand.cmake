include_guard(GLOBAL)
# run(COMMAND...): runs it and leaves its exit status, output and errors in rc, out and err.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    set(rc ${rc} PARENT_SCOPE)
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

# expect_library_from(LDD_OUTPUT LIBRARY WHAT): ldd's output shows libpalvex.so.1 loaded from
# LIBRARY (the same file, through any links) and no other copy; WHAT names the program.
function(expect_library_from ldd_output library what)
    if(NOT ldd_output MATCHES "libpalvex\\.so\\.1 => ([^ ]+)")
        message(FATAL_ERROR "${what} does not load libpalvex.so.1:\n${ldd_output}")
    endif()
    file(REAL_PATH ${CMAKE_MATCH_1} loaded_from)
    file(REAL_PATH ${library} expected_from)
    if(NOT loaded_from STREQUAL expected_from)
        message(FATAL_ERROR "${what} loads ${loaded_from}, not ${expected_from}")
    endif()
endfunction()
