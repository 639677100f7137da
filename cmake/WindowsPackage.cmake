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

    # The runtime of the compiler that built Qt, found where that compiler keeps it.
    foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${dll}
                        OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
            find_file(dll_path_${dll} ${dll} PATHS /usr/x86_64-w64-mingw32/lib
                      /usr/lib/gcc/x86_64-w64-mingw32/12-posix NO_DEFAULT_PATH
                      NO_CMAKE_FIND_ROOT_PATH)
            set(dll_path "${dll_path_${dll}}")
        endif()
        if(NOT EXISTS "${dll_path}")
            message(FATAL_ERROR "The MinGW runtime ${dll} that Qt needs was not found")
        endif()
        install(FILES "${dll_path}" DESTINATION .)
    endforeach()
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lantrivex)
set(CPACK_SYSTEM_NAME windows-x64)
set(CPACK_PACKAGE_FILE_NAME "lantrivex-${PROJECT_VERSION}-windows-x64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
