# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program as one folder, and CPack's .zip of it: both programs, the signature table,
# the Qt libraries the window program loads with the one platform plugin it needs and Qt's French
# texts, and the MinGW runtime those Qt libraries were built against (the programs themselves link
# it statically); the licences of all of them and a README for the Windows user.
# Nothing else: settings and registry data stay on the machine that runs it.

install(TARGETS lantrivex-cli RUNTIME DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/samples/Signatures.txt" DESTINATION .)

# lantrivex_windows_text(<output> <input>...): the inputs one after the other, with Windows line
# ends, into <output> in the build folder.
function(lantrivex_windows_text output)
    set(text "")
    foreach(input IN LISTS ARGN)
        file(READ "${input}" part)
        string(APPEND text "${part}")
    endforeach()
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE "${output}.new" "${text}")
    file(COPY_FILE "${output}.new" "${output}" ONLY_IF_DIFFERENT)
    file(REMOVE "${output}.new")
endfunction()

set(notices "${PROJECT_BINARY_DIR}/windows-notices")
configure_file("${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in" "${notices}/README.in" @ONLY)
lantrivex_windows_text("${notices}/README.txt" "${notices}/README.in")
lantrivex_windows_text("${notices}/LICENSE.txt" "${PROJECT_SOURCE_DIR}/LICENSE")
install(FILES "${notices}/README.txt" "${notices}/LICENSE.txt" DESTINATION .)
set(stripped $<TARGET_FILE_NAME:lantrivex-cli>)

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

    # Their notices and licences: Debian's copyright files of the packages they come from (the
    # host's qt6-base is the source the cached Qt was built from), after a note on what is whose.
    set(doc /usr/share/doc)
    foreach(package IN ITEMS libqt6core6 gcc-mingw-w64-x86-64-posix-runtime mingw-w64-x86-64-dev)
        if(NOT EXISTS "${doc}/${package}/copyright")
            message(FATAL_ERROR "${doc}/${package}/copyright is missing: the Windows zip needs the "
                                "licence texts of Debian's package ${package}")
        endif()
        execute_process(COMMAND dpkg-query -W -f=\${Version} ${package}
                        OUTPUT_VARIABLE version_${package} ERROR_QUIET)
    endforeach()
    set(LANTRIVEX_QT_SOURCE_VERSION "${version_libqt6core6}")
    set(LANTRIVEX_GCC_RUNTIME_VERSION "${version_gcc-mingw-w64-x86-64-posix-runtime}")
    set(LANTRIVEX_MINGW_VERSION "${version_mingw-w64-x86-64-dev}")
    set(dir "${PROJECT_SOURCE_DIR}/packaging/windows")
    configure_file("${dir}/Qt-notice.txt.in" "${notices}/Qt-notice.in" @ONLY)
    configure_file("${dir}/MinGW-runtime-notice.txt.in" "${notices}/MinGW-runtime-notice.in" @ONLY)
    string(REPEAT "=" 80 rule)
    file(WRITE "${notices}/mingw-w64-separator" "\n${rule}\nmingw-w64-x86-64-dev\n${rule}\n\n")
    lantrivex_windows_text("${notices}/Qt.txt" "${notices}/Qt-notice.in"
                           "${doc}/libqt6core6/copyright")
    lantrivex_windows_text("${notices}/MinGW-runtime.txt" "${notices}/MinGW-runtime-notice.in"
                           "${doc}/gcc-mingw-w64-x86-64-posix-runtime/copyright"
                           "${notices}/mingw-w64-separator" "${doc}/mingw-w64-x86-64-dev/copyright")
    lantrivex_windows_text("${notices}/LGPL-3.txt" /usr/share/common-licenses/LGPL-3)
    install(FILES "${notices}/Qt.txt" "${notices}/LGPL-3.txt" "${notices}/MinGW-runtime.txt"
            DESTINATION licenses)

    list(APPEND stripped $<TARGET_FILE_NAME:lantrivex> $<TARGET_FILE_NAME:Qt6::Core>
         $<TARGET_FILE_NAME:Qt6::Gui> $<TARGET_FILE_NAME:Qt6::Widgets>
         platforms/$<TARGET_FILE_NAME:Qt6::QWindowsIntegrationPlugin>)
    foreach(dll IN LISTS runtime_dlls)
        get_filename_component(name "${dll}" NAME)
        list(APPEND stripped ${name})
    endforeach()
endif()

# The programs, the Qt libraries and the runtime as the cache and the compiler keep them carry
# their symbols (most of their size): stripped with the MinGW strip as they are packed (CPack
# strips, and so does `cmake --install --strip`), the originals left as they are.
find_program(LANTRIVEX_MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(file IN ITEMS ${stripped})
            execute_process(COMMAND \"${LANTRIVEX_MINGW_STRIP}\" --strip-unneeded
                                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${file}\"
                            RESULT_VARIABLE failed)
            if(failed)
                message(FATAL_ERROR \"could not strip \${file}\")
            endif()
        endforeach()
    endif()")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lantrivex)
set(CPACK_SYSTEM_NAME windows-x64)
set(CPACK_PACKAGE_FILE_NAME "lantrivex-${PROJECT_VERSION}-windows-x64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
