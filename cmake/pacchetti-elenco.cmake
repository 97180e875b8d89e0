# Run by CPack for each kind of package once the game's files are in place,
# before it packs them (CPACK_PRE_BUILD_SCRIPTS, set in pacchetti.cmake).
#
# Every file and folder gets its mode set here, whatever the builder's umask
# made it: folders and the game 755, the other files 644. The zip stores
# these modes, so two builders with different umasks make the same zip.
#
# For the installer, the list of the files it installs, as lines
#     !insertmacro VOCE "manuale\index.html"
# which the installer's script includes to record, in each install, what that
# install put there (Uninstall.lst): the files in sorted order, then the
# folders, deepest first, each ending in "\".
file(GLOB_RECURSE voci LIST_DIRECTORIES true RELATIVE "${CPACK_TEMPORARY_DIRECTORY}"
     "${CPACK_TEMPORARY_DIRECTORY}/*")
list(SORT voci)
set(file_voci "")
set(cartelle "")
foreach(voce IN LISTS voci)
    set(percorso "${CPACK_TEMPORARY_DIRECTORY}/${voce}")
    if(IS_DIRECTORY "${percorso}")
        file(CHMOD "${percorso}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                             GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
        list(APPEND cartelle "${voce}")
    else()
        if(voce MATCHES "\\.exe$")
            file(CHMOD "${percorso}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                                                 GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
        else()
            file(CHMOD "${percorso}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
        endif()
        list(APPEND file_voci "${voce}")
    endif()
endforeach()

if(CPACK_GENERATOR STREQUAL "NSIS")
    set(righe "; The files of the install, made by cmake/pacchetti-elenco.cmake.\n")
    foreach(voce IN LISTS file_voci)
        string(REPLACE "/" "\\" voce "${voce}")
        string(APPEND righe "!insertmacro VOCE \"${voce}\"\n")
    endforeach()
    # Sorted, a folder comes before what it holds: backwards, deepest first.
    list(REVERSE cartelle)
    foreach(voce IN LISTS cartelle)
        string(REPLACE "/" "\\" voce "${voce}")
        string(APPEND righe "!insertmacro VOCE \"${voce}\\\"\n")
    endforeach()
    file(WRITE "${CPACK_VORANDEL_ELENCO}" "${righe}")
endif()
