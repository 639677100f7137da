# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file of the project begins with its licence's SPDX line: `// SPDX-...` for C++
# and resource scripts, `# SPDX-...` for shell, Python and CMake (after the `#!` line of a script),
# `.\" SPDX-...` for manual pages. Lists the files that lack it and fails.
# Usage: cmake -DSOURCE_DIR=<the source tree> -P CheckLicenceLines.cmake
set(spdx "SPDX-License-Identifier: GPL-3.0-or-later")
set(folders src tests bench fuzz tools cmake packaging)
set(globs)
foreach(folder IN LISTS folders)
    foreach(pattern IN ITEMS *.cpp *.h *.h.in *.rc *.sh *.py *.cmake CMakeLists.txt *.1)
        list(APPEND globs "${SOURCE_DIR}/${folder}/${pattern}")
    endforeach()
endforeach()
file(GLOB_RECURSE files ${globs})
list(APPEND files "${SOURCE_DIR}/CMakeLists.txt" "${SOURCE_DIR}/.ci/run")

set(missing)
foreach(file IN LISTS files)
    if(file MATCHES "\\.(cpp|h|h\\.in|rc)$")
        set(line "// ${spdx}")
    elseif(file MATCHES "\\.1$")
        set(line ".\\\" ${spdx}")
    else()
        set(line "# ${spdx}")
    endif()
    file(READ "${file}" head LIMIT 300)
    string(REGEX REPLACE "^#![^\n]*\n" "" head "${head}") # a script's interpreter line first
    string(FIND "${head}" "${line}\n" at)
    if(NOT at EQUAL 0)
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
        list(APPEND missing "${name}")
    endif()
endforeach()

list(LENGTH files checked)
if(missing)
    list(LENGTH missing count)
    list(JOIN missing "\n  " names)
    message(FATAL_ERROR "${count} of ${checked} source files do not begin with the line "
                        "\"${spdx}\" (after `// `, `# ` or `.\\\" `, and after a `#!` line):\n  ${names}")
endif()
message(STATUS "${checked} source files, each with its SPDX line")
