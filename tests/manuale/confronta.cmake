# The HTML manual kept in the repository (docs/manuale/html, linked from the
# README) must be the one that the current sources make. Compares the pages
# and pictures that the build has just made with the kept copy, file by
# file, and lists every difference.
#   cmake -DFATTO=<build>/manuale/html -DSALVATO=docs/manuale/html -P confronta.cmake
cmake_minimum_required(VERSION 3.20)
foreach(v FATTO SALVATO)
    get_filename_component(${v} "${${v}}" ABSOLUTE)
    if(NOT IS_DIRECTORY "${${v}}")
        message(FATAL_ERROR "confronta.cmake: ${v} (${${v}}) is not a folder")
    endif()
endforeach()

file(GLOB fatti RELATIVE "${FATTO}" "${FATTO}/*")
file(GLOB salvati RELATIVE "${SALVATO}" "${SALVATO}/*")
list(SORT fatti)
list(SORT salvati)
if(NOT fatti)
    message(FATAL_ERROR "The build made no HTML pages in ${FATTO}")
endif()

set(differenze "")
foreach(f IN LISTS fatti)
    if(NOT f IN_LIST salvati)
        string(APPEND differenze "\n  missing from the kept copy: ${f}")
    else()
        file(SHA256 "${FATTO}/${f}" a)
        file(SHA256 "${SALVATO}/${f}" b)
        if(NOT a STREQUAL b)
            string(APPEND differenze "\n  different: ${f}")
        endif()
    endif()
endforeach()
foreach(f IN LISTS salvati)
    if(NOT f IN_LIST fatti)
        string(APPEND differenze "\n  no longer made by the sources: ${f}")
    endif()
endforeach()

if(differenze)
    message(FATAL_ERROR "The HTML manual in ${SALVATO} is out of date with its sources:${differenze}\n"
                        "Run scripts/manuale to refresh it.")
endif()
list(LENGTH fatti n)
message(STATUS "The kept HTML manual matches its sources (${n} files).")
