# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DDOC=<architecture.md> -DLINKS=<links written by the build> -DSYSTEM=<linux|windows>
#       -P CheckArchitecture.cmake
#
# Holds the list of the "links" block of docs/architecture.md (one "library -> libraries it links"
# per line, a line ending in [linux] or [windows] for that system only) against the libraries the
# build actually links, and fails with both lists when they differ. A library the build left out
# (the window library without the window program) is not held to its line.
cmake_policy(VERSION 3.25)
file(READ "${DOC}" doc)
string(REGEX MATCH "```links\n([^`]*)```" block "${doc}")
if(NOT block)
    message(FATAL_ERROR "${DOC} has no ```links block")
endif()
string(REPLACE "\n" ";" lines "${CMAKE_MATCH_1}")

# One line: the library, its libraries in sorted order.
function(normalised line out)
    string(REGEX REPLACE "[ \t]+" ";" words "${line}")
    list(FILTER words EXCLUDE REGEX "^(->|)$")
    list(POP_FRONT words library)
    list(SORT words)
    list(JOIN words " " deps)
    set(${out} "${library} -> ${deps}" PARENT_SCOPE)
endfunction()

set(documented)
foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*$")
        continue()
    endif()
    if(line MATCHES "\\[(linux|windows)\\][ \t]*$")
        if(NOT CMAKE_MATCH_1 STREQUAL SYSTEM)
            continue()
        endif()
        string(REGEX REPLACE "\\[(linux|windows)\\][ \t]*$" "" line "${line}")
    endif()
    normalised("${line}" entry)
    list(APPEND documented "${entry}")
endforeach()

file(STRINGS "${LINKS}" built)
set(actual)
foreach(line IN LISTS built)
    if(line MATCHES "^([^ ]+) \\(not built\\)$")
        list(FILTER documented EXCLUDE REGEX "^${CMAKE_MATCH_1} ->")
        continue()
    endif()
    normalised("${line}" entry)
    list(APPEND actual "${entry}")
endforeach()

list(SORT documented)
list(SORT actual)
if(NOT documented STREQUAL actual)
    list(JOIN documented "\n  " d)
    list(JOIN actual "\n  " a)
    message(FATAL_ERROR "docs/architecture.md no longer tells how the libraries link.\n"
                        "Documented:\n  ${d}\nBuilt:\n  ${a}")
endif()
message(STATUS "${DOC}: the links of ${SYSTEM}'s libraries are as documented")
