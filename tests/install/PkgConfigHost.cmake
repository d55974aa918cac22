# pkg_config_flags(PREFIX LIBDIR OUT): the flags the palvex.pc under PREFIX gives a host
# (--cflags --libs), as a list, read with no other pkg-config search path.
include(${CMAKE_CURRENT_LIST_DIR}/RunCommand.cmake)
function(pkg_config_flags prefix libdir out)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/${libdir}/pkgconfig
            --unset=PKG_CONFIG_LIBDIR pkg-config --cflags --libs palvex
        RESULT_VARIABLE rc OUTPUT_VARIABLE flags ERROR_VARIABLE err
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "pkg-config --cflags --libs palvex under ${prefix}: ${rc}\n${err}")
    endif()
    separate_arguments(flag_list UNIX_COMMAND "${flags}")
    set(${out} ${flag_list} PARENT_SCOPE)
endfunction()

# check_pkg_config_host(PREFIX LIBDIR WORK SANITIZE VERSION): palvex.pc under PREFIX says
# VERSION and gives flags that point into PREFIX, and a small host built with nothing but those
# flags links the library and runs with the PREFIX's copy of it.
function(check_pkg_config_host prefix libdir work sanitize expected_version)
    file(REMOVE_RECURSE ${work})
    file(MAKE_DIRECTORY ${work})
    set(pc_env ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/${libdir}/pkgconfig
        --unset=PKG_CONFIG_LIBDIR)
    pkg_config_flags(${prefix} ${libdir} flag_list)
    list(JOIN flag_list " " flags)
    # pkg-config may spell the prefix through the .pc file's folder; compare real paths.
    set(include_dir "")
    set(lib_dir "")
    foreach(flag ${flag_list})
        if(flag MATCHES "^-([IL])(.*)$")
            set(kind ${CMAKE_MATCH_1})
            set(dir ${CMAKE_MATCH_2})
            if(kind STREQUAL "I" AND EXISTS "${dir}/palvex/Palvex.h")
                file(REAL_PATH "${dir}" include_dir)
            elseif(kind STREQUAL "L" AND EXISTS "${dir}/libpalvex.so")
                file(REAL_PATH "${dir}" lib_dir)
            endif()
        endif()
    endforeach()
    file(REAL_PATH ${prefix}/include want_include)
    file(REAL_PATH ${prefix}/${libdir} want_lib)
    if(NOT include_dir STREQUAL want_include OR NOT lib_dir STREQUAL want_lib
       OR NOT " ${flags} " MATCHES " -lpalvex " OR NOT " ${flags} " MATCHES " -lQt6Widgets ")
        message(FATAL_ERROR "pkg-config flags do not lead into ${prefix}: ${flags}")
    endif()
    execute_process(COMMAND ${pc_env} pkg-config --modversion palvex
        OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT version STREQUAL expected_version)
        message(FATAL_ERROR "pkg-config --modversion palvex: '${version}', expected ${expected_version}")
    endif()

    file(WRITE ${work}/host.cpp "#include <palvex/Palvex.h>
#include <QApplication>
#include <cstdio>
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    palvex::Palvex::reportFileSizeLimitAsDiskFull();
    palvex::Palvex report;
    if (report.let_Embedded(true) != palvex::Status::Ok) return 1;
    std::puts(\"palvex host ran\");
    return 0;
}
")
    set(sanitize_flags "")
    if(sanitize)
        set(sanitize_flags -fsanitize=address,undefined)
    endif()
    execute_process(COMMAND g++ -std=c++20 ${sanitize_flags} host.cpp -o host ${flag_list}
        WORKING_DIRECTORY ${work} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "a host built with pkg-config's flags (${flags}): ${rc}\n${out}\n${err}")
    endif()

    # The library is found through the library path given here and nowhere else: ldd shows
    # which copy loads.
    set(run_env ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/${libdir})
    execute_process(COMMAND ${run_env} ldd ${work}/host OUTPUT_VARIABLE loaded RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "ldd of the pkg-config host: ${rc}\n${loaded}")
    endif()
    expect_library_from("${loaded}" ${prefix}/${libdir}/libpalvex.so.1 "the pkg-config host")
    execute_process(COMMAND ${run_env} ${work}/host WORKING_DIRECTORY ${work}
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR NOT out STREQUAL "palvex host ran\n")
        message(FATAL_ERROR "the pkg-config host: ${rc}\n${out}\n${err}")
    endif()
endfunction()
