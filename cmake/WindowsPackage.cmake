# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program as one folder, and CPack's .zip of it: both programs, the signature table,
# the Qt libraries the window program loads with the one platform plugin it needs and Qt's French
# texts, and the MinGW runtime those Qt libraries were built against (the programs themselves link
# it statically).
# Nothing else: settings and registry data stay on the machine that runs it.

install(TARGETS lantrivex-cli RUNTIME DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/samples/Signatures.txt" DESTINATION .)

if(TARGET lantrivex)
    install(TARGETS lantrivex RUNTIME DESTINATION .)
    install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
            DESTINATION .)
    install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
    # Qt's own French texts (the standard buttons), platform-independent: Debian's copy serves.
    find_file(qtbase_fr_qm qtbase_fr.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH
              NO_CMAKE_FIND_ROOT_PATH)
    if(qtbase_fr_qm)
        install(FILES "${qtbase_fr_qm}" DESTINATION translations)
    else()
        message(WARNING "qtbase_fr.qm not found (Debian: qt6-translations-l10n): the Windows "
                        "program's standard buttons will read in English under French")
    endif()

    # The runtime of the compiler that built Qt.
    include("${CMAKE_CURRENT_LIST_DIR}/MingwRuntime.cmake")
    lantrivex_mingw_runtime(runtime_dlls)
    list(LENGTH runtime_dlls found)
    list(LENGTH LANTRIVEX_MINGW_RUNTIME_DLLS wanted)
    if(NOT found EQUAL wanted)
        message(FATAL_ERROR "The MinGW runtime that Qt needs (${LANTRIVEX_MINGW_RUNTIME_DLLS}) "
                            "was not all found: only ${runtime_dlls}")
    endif()
    install(FILES ${runtime_dlls} DESTINATION .)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lantrivex)
set(CPACK_SYSTEM_NAME windows-x64)
set(CPACK_PACKAGE_FILE_NAME "lantrivex-${PROJECT_VERSION}-windows-x64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
