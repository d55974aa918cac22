# Every fuzz target that fuzz/run.sh runs starts from seeds in the repository: a target whose
# seed folder is missing stops at once. Input: SOURCE_DIR.
file(READ ${SOURCE_DIR}/fuzz/CMakeLists.txt targets)
string(REGEX MATCHALL "palvex_fuzz_target\\(fuzz-[a-z]+" names "${targets}")
file(READ ${SOURCE_DIR}/fuzz/run.sh runner)
foreach(name ${names})
    string(REPLACE "palvex_fuzz_target(fuzz-" "" name "${name}")
    # The script target is seeded from the acceptance scripts and the examples (run.sh says so).
    if(name STREQUAL "script" AND runner MATCHES "\"\\$name\" = script \\]")
        continue()
    endif()
    file(GLOB seeds ${SOURCE_DIR}/fuzz/corpus/${name}/*)
    if(NOT seeds)
        message(FATAL_ERROR "fuzz target ${name} has no seeds in fuzz/corpus/${name}")
    endif()
endforeach()
