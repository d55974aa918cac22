# Installs the build into an empty PREFIX and builds examples/host against it with
# find_package(Palvex), as a host's own project would; then runs it unattended: it records a
# Hebrew invoice in the embedded control and exports it as PDF. Also checks that only the public
# headers are installed, that a host ignoring a Status is told so by the compiler, and that hosts
# naming no C++ standard or C++17 build and run.
file(REMOVE_RECURSE ${PREFIX} ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    OUTPUT_QUIET RESULT_VARIABLE rc ERROR_VARIABLE errors)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install failed (${rc}): ${errors}")
endif()

file(GLOB installed_headers RELATIVE ${PREFIX}/include ${PREFIX}/include/*
     ${PREFIX}/include/*/*)
list(SORT installed_headers)
set(public_headers palvex palvex/Application.h palvex/Dispatch.h palvex/Enumerations.h palvex/Export.h
    palvex/MemberTable.h palvex/Out.h palvex/Palvex.h palvex/ReportWriter.h palvex/Status.h palvex/Variant.h
    palvex/palvex_c.h)
if(NOT installed_headers STREQUAL public_headers)
    message(FATAL_ERROR "installed headers: ${installed_headers}\nexpected: ${public_headers}")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/RunCommand.cmake)

# A sanitized library needs its runtime in the program that loads it.
set(sanitize "")
if(SANITIZE)
    set(sanitize -DCMAKE_CXX_FLAGS=-fsanitize=address,undefined
        -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined)
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/host -B ${WORK}/build
    -DCMAKE_PREFIX_PATH=${PREFIX} -DCMAKE_BUILD_TYPE=Release ${sanitize})
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "configuring examples/host: ${rc}\n${out}\n${err}")
endif()
run(${CMAKE_COMMAND} --build ${WORK}/build -j2)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "building examples/host: ${rc}\n${out}\n${err}")
endif()

run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen
    ${WORK}/build/palvex-host-example --export ${WORK}/invoice.pdf)
if(NOT rc EQUAL 0 OR NOT out MATCHES "pages: 1\n")
    message(FATAL_ERROR "examples/host --export: ${rc}\n${out}\n${err}")
endif()
run(pdftotext -layout ${WORK}/invoice.pdf -)
if(NOT rc EQUAL 0 OR NOT out MATCHES "2026-0412" OR NOT out MATCHES "Payroll export")
    message(FATAL_ERROR "the exported invoice: ${rc}\n${out}\n${err}")
endif()

# On a server, from cron: no display and no runtime folder. The host's palvex::Application comes
# up offscreen instead of Qt ending the process, the export works and, with PALVEX_QUIET=1, its
# standard error is empty; the window for a person is refused with a reason.
set(server_job ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH --unset=DISPLAY
    --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM --unset=XDG_RUNTIME_DIR PALVEX_QUIET=1
    TMPDIR=${WORK} ${WORK}/build/palvex-host-example)
run(${server_job} --export ${WORK}/server-invoice.pdf)
if(NOT rc EQUAL 0 OR NOT out MATCHES "pages: 1\n" OR NOT err STREQUAL ""
   OR NOT EXISTS ${WORK}/server-invoice.pdf)
    message(FATAL_ERROR "examples/host --export without a display: ${rc}\n${out}\n${err}")
endif()
run(${server_job})
if(NOT rc EQUAL 1 OR NOT err MATCHES "needs a display")
    message(FATAL_ERROR "examples/host's window without a display: ${rc}\n${out}\n${err}")
endif()

# A host that drops a Status does not compile with -Werror=unused-result.
file(WRITE ${WORK}/ignored/CMakeLists.txt "cmake_minimum_required(VERSION 3.25)
project(Ignored LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_AUTOMOC ON)
find_package(Palvex 1 REQUIRED)
add_library(ignored OBJECT ignored.cpp)
target_link_libraries(ignored PRIVATE Palvex::Palvex)
target_compile_options(ignored PRIVATE -Werror=unused-result)
")
file(WRITE ${WORK}/ignored/ignored.cpp "#include <palvex/Palvex.h>
void record(palvex::Palvex& report) { report.printText(QStringLiteral(\"x\"), palvex::A2_JumpToNextLine); }
")
run(${CMAKE_COMMAND} -S ${WORK}/ignored -B ${WORK}/ignored/build -DCMAKE_PREFIX_PATH=${PREFIX})
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "configuring the ignored-status check: ${rc}\n${out}\n${err}")
endif()
run(${CMAKE_COMMAND} --build ${WORK}/ignored/build)
if(rc EQUAL 0 OR NOT "${out}${err}" MATCHES "nodiscard|unused-result")
    message(FATAL_ERROR "a dropped Status compiled without complaint: ${rc}\n${out}\n${err}")
endif()

# A host's project that names no C++ standard (the compiler's own, C++17 with Debian 12's GCC) or
# an older one still compiles every public header and makes a late-bound call: the package's
# target carries the standard the headers need.
file(WRITE ${WORK}/standard/host.cpp "#include <palvex/Application.h>
#include <palvex/Dispatch.h>
#include <palvex/Enumerations.h>
#include <palvex/MemberTable.h>
#include <palvex/Out.h>
#include <palvex/Palvex.h>
#include <palvex/ReportWriter.h>
#include <palvex/Status.h>
#include <palvex/Variant.h>
#include <palvex/palvex_c.h>
#include <cstdio>
#include <vector>
int main(int argc, char** argv) {
    palvex::Application app(argc, argv);
    palvex::Palvex report;
    palvex::Dispatch dispatch(report);
    std::vector<palvex::Variant> args{palvex::Variant(true)};
    if (dispatch.invoke(dispatch.idOfName(\"Embedded\"), palvex::InvokeKind::PropertyPut, args,
                        nullptr) != palvex::Status::Ok)
        return 1;
    std::printf(\"C++%ld host ran\\n\", long(__cplusplus));
    return 0;
}
")
foreach(standard default 17)
    set(project ${WORK}/standard/${standard})
    set(standard_line "")
    if(NOT standard STREQUAL "default")
        set(standard_line "set(CMAKE_CXX_STANDARD ${standard})")
    endif()
    file(WRITE ${project}/CMakeLists.txt "cmake_minimum_required(VERSION 3.25)
project(Standard${standard} LANGUAGES CXX)
${standard_line}
find_package(Palvex 1 REQUIRED)
add_executable(host ../host.cpp)
target_link_libraries(host PRIVATE Palvex::Palvex)
")
    run(${CMAKE_COMMAND} -S ${project} -B ${project}/build -DCMAKE_PREFIX_PATH=${PREFIX}
        ${sanitize})
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "configuring a host with the ${standard} C++ standard: ${rc}\n${out}\n${err}")
    endif()
    run(${CMAKE_COMMAND} --build ${project}/build)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "a host with the ${standard} C++ standard does not build: ${rc}\n${out}\n${err}")
    endif()
    run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen
        ${project}/build/host)
    if(NOT rc EQUAL 0 OR NOT out MATCHES "^C\\+\\+20[0-9]+ host ran\n$")
        message(FATAL_ERROR "the host with the ${standard} C++ standard: ${rc}\n${out}\n${err}")
    endif()
endforeach()
