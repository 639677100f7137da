# SPDX-License-Identifier: GPL-3.0-or-later
# lantrivex_mingw_runtime(<var>)
#
# The MinGW runtime libraries that Qt's libraries import (the project's own programs link the
# runtime statically), where the compiler keeps them: the absolute paths of those it finds, in
# <var>. The Wine runner puts their folders on Wine's DLL path; the Windows package ships them.
set(LANTRIVEX_MINGW_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)

function(lantrivex_mingw_runtime var)
    set(paths "")
    foreach(dll IN LISTS LANTRIVEX_MINGW_RUNTIME_DLLS)
        execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${dll}
                        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(IS_ABSOLUTE "${path}" AND EXISTS "${path}")
            list(APPEND paths "${path}")
        endif()
    endforeach()
    set(${var} "${paths}" PARENT_SCOPE)
endfunction()
