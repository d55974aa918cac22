# Installs the build into an empty PREFIX and builds examples/host against it with
# find_package(Palvex), as a host's own project would; then runs it unattended: it records a
# Hebrew invoice in the embedded control and exports it as PDF. Also checks that only the public
# headers are installed and that a host ignoring a Status is told so by the compiler.
file(REMOVE_RECURSE ${PREFIX} ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    OUTPUT_QUIET RESULT_VARIABLE rc ERROR_VARIABLE errors)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "install failed (${rc}): ${errors}")
endif()

file(GLOB installed_headers RELATIVE ${PREFIX}/include ${PREFIX}/include/*
     ${PREFIX}/include/*/*)
list(SORT installed_headers)
set(public_headers palvex palvex/Dispatch.h palvex/Enumerations.h palvex/Export.h
    palvex/MemberTable.h palvex/Out.h palvex/Palvex.h palvex/Status.h palvex/Variant.h
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
