# Run by CPack after it has made each kind of package, before it copies the
# package beside the build (CPACK_POST_BUILD_SCRIPTS, set in pacchetti.cmake).
#
# The zip is made again from the same installed files with Info-ZIP's zip:
# CPack's zip stores each file's inode change time, which is the day of the
# build and cannot be set; `zip -X` stores only the file's time (the
# release's, set at install) and its permissions, and the files go in in
# sorted order, so the same files always give the same zip.
#
# Then SHA256SUMS beside the packages gets the line "<sha256>  <file name>"
# of the package just made, in the form `sha256sum -c SHA256SUMS` reads; the
# line of the other kind of package is kept from the earlier run.
if(CPACK_GENERATOR STREQUAL "ZIP")
    find_program(ZIP_INFO zip)
    if(NOT ZIP_INFO)
        message(FATAL_ERROR "Info-ZIP's zip was not found: install Debian's package zip (scripts/dipendenze does)")
    endif()
    file(GLOB_RECURSE voci LIST_DIRECTORIES true RELATIVE "${CPACK_TEMPORARY_DIRECTORY}"
         "${CPACK_TEMPORARY_DIRECTORY}/*")
    list(SORT voci)
    foreach(zip IN LISTS CPACK_PACKAGE_FILES)
        file(REMOVE "${zip}")
        execute_process(COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC0 "${ZIP_INFO}" -X -q -9 "${zip}" ${voci}
                        WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}"
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()

set(somme "${CPACK_VORANDEL_CARTELLA}/SHA256SUMS")
set(vecchie "")
if(EXISTS "${somme}")
    file(STRINGS "${somme}" vecchie)
endif()
set(righe "")
foreach(nome IN LISTS CPACK_VORANDEL_PACCHETTI)
    set(riga "")
    foreach(pacchetto IN LISTS CPACK_PACKAGE_FILES)
        get_filename_component(nome_fatto "${pacchetto}" NAME)
        if(nome_fatto STREQUAL nome)
            file(SHA256 "${pacchetto}" somma)
            set(riga "${somma}  ${nome}")
        endif()
    endforeach()
    if(riga STREQUAL "")
        foreach(vecchia IN LISTS vecchie)
            string(REGEX REPLACE "^[0-9a-f]+  " "" nome_vecchio "${vecchia}")
            if(nome_vecchio STREQUAL nome AND EXISTS "${CPACK_VORANDEL_CARTELLA}/${nome}")
                set(riga "${vecchia}")
            endif()
        endforeach()
    endif()
    if(NOT riga STREQUAL "")
        string(APPEND righe "${riga}\n")
    endif()
endforeach()
file(WRITE "${somme}" "${righe}")
