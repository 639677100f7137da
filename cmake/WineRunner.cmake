# SPDX-License-Identifier: GPL-3.0-or-later
# Tests of the cross-built Windows program run under Wine through build/wine-run.sh, which finds
# the DLLs of the target's Qt (WINEPATH) and keeps Wine quiet and free of installer prompts unless
# the caller chose otherwise. Every executable made after this include starts through it
# (CMAKE_CROSSCOMPILING_EMULATOR), in ctest and in gtest_discover_tests alike.
set(wine_dll_folders "")
if(TARGET Qt6::Core)
    get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
    if(NOT qt_core_dll)
        get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION)
    endif()
    if(qt_core_dll)
        get_filename_component(qt_bin "${qt_core_dll}" DIRECTORY)
        list(APPEND wine_dll_folders "${qt_bin}")
    endif()
endif()
# The compiler's runtime DLLs, for DLLs (Qt's) that were not linked with it statically.
include("${CMAKE_CURRENT_LIST_DIR}/MingwRuntime.cmake")
lantrivex_mingw_runtime(runtime_dlls)
foreach(runtime_path IN LISTS runtime_dlls)
    get_filename_component(runtime_path "${runtime_path}" REALPATH)
    get_filename_component(runtime_folder "${runtime_path}" DIRECTORY)
    list(APPEND wine_dll_folders "${runtime_folder}")
endforeach()
list(REMOVE_DUPLICATES wine_dll_folders)
# Wine's drive Z: is the build machine's root folder; the folders are joined by ";".
list(TRANSFORM wine_dll_folders PREPEND "Z:")
find_program(LANTRIVEX_WINE_PROGRAM wine REQUIRED)
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/wine-run.sh" @ONLY CONTENT [[#!/bin/sh
# Made by cmake/WineRunner.cmake: runs a Windows program of this build under Wine.
export WINEPATH="@wine_dll_folders@${WINEPATH:+;$WINEPATH}"
export WINEDEBUG="${WINEDEBUG--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES-mscoree,mshtml=}"
exec '@LANTRIVEX_WINE_PROGRAM@' "$@"
]])
file(CHMOD "${PROJECT_BINARY_DIR}/wine-run.sh" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_BINARY_DIR}/wine-run.sh")
