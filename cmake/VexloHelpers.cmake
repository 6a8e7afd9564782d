# Small helpers so that every library and test program is declared the same
# way: explicit source lists, our warning set, PRIVATE links.

function(vexlo_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    # GCC 12 reports impossible overlaps inside std::string's inlined copies
    # when optimising ("literal" + std::to_string(n) is enough); the warning
    # is known to be wrong there, so it would only block optimised builds.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(VEXLO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# vexlo_add_library(name SOURCES ... [PUBLIC_INCLUDE dir...] [LINKS ...] [PUBLIC_LINKS ...])
function(vexlo_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_INCLUDE;LINKS;PUBLIC_LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    vexlo_set_warnings(${name})
    target_include_directories(${name} PUBLIC ${ARG_PUBLIC_INCLUDE})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} PUBLIC ${ARG_PUBLIC_LINKS})
endfunction()

# vexlo_add_executable(name SOURCES ... [LINKS ...])
function(vexlo_add_executable name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    vexlo_set_warnings(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS})
endfunction()

# vexlo_add_test(name SOURCES ... [LINKS ...]): one GoogleTest program,
# registered with CTest test by test.
function(vexlo_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    vexlo_set_warnings(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} GTest::gmock GTest::gtest_main)
    include(GoogleTest)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 120)
endfunction()
