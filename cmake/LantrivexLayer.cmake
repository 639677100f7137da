# SPDX-License-Identifier: GPL-3.0-or-later
# lantrivex_layer(<target> <folder> [DEPS <targets>...])
#
# One static library per layer of src/, made of every .cpp directly in the folder. The layers link
# only downwards (common <- platform <- signatures, discovery <- analysis <- shell <- ui), and none of
# the layers below ui/ sees Qt: a Qt include there does not compile.
function(lantrivex_layer target folder)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
    file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.h")
    if(sources)
        add_library(${target} STATIC ${sources} ${headers})
        target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE lantrivex_warnings)
    else()
        add_library(${target} INTERFACE ${headers})
        target_include_directories(${target} INTERFACE "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

# lantrivex_test(<name> <folder> [CUSTOM_MAIN] [EXCLUDE <regex>] [DEPS <targets>...] [ENV <vars>...]
#                [PROPERTIES <name> <value>...])
#
# One GoogleTest executable per folder of tests/, made of every .cpp in it, registered with CTest
# test by test. CUSTOM_MAIN: the folder brings its own main() (the window tests create the
# QApplication there). EXCLUDE: the files whose names match are left out (tests of another
# system's services). PROPERTIES: more test properties for every test of the folder.
function(lantrivex_test name folder)
    cmake_parse_arguments(ARG "CUSTOM_MAIN" "EXCLUDE" "DEPS;ENV;PROPERTIES" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp")
    if(sources AND ARG_EXCLUDE)
        list(FILTER sources EXCLUDE REGEX "/(${ARG_EXCLUDE})[^/]*$")
    endif()
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} lantrivex_fakes GTest::gtest GTest::gmock
                                          lantrivex_warnings)
    if(NOT ARG_CUSTOM_MAIN)
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_compile_definitions(${name} PRIVATE
        LANTRIVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        LANTRIVEX_BINARY_DIR="${PROJECT_BINARY_DIR}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES ${ARG_PROPERTIES} ENVIRONMENT "${ARG_ENV}")
endfunction()
