# vorandel_dipinto(TARGET SOURCE OUTPUT COMMENT [HEADER...]): a program of the
# build machine, compiled from one source, that paints the file OUTPUT at
# build time (the sprite sheet, the icon). Each HEADER is a header that the
# source includes, its own or the game's: its folder goes on the include
# path, and the painter is built again when it changes. The cross build
# compiles it with the host compiler; the target TARGET makes OUTPUT as part
# of ALL.
function(vorandel_dipinto bersaglio sorgente uscita commento)
    get_filename_component(sorgente ${sorgente} ABSOLUTE)
    get_filename_component(cartella ${uscita} DIRECTORY)
    set(intestazioni)
    set(cartelle)
    foreach(intestazione ${ARGN})
        get_filename_component(intestazione ${intestazione} ABSOLUTE)
        get_filename_component(cartella_intestazione ${intestazione} DIRECTORY)
        list(APPEND intestazioni ${intestazione})
        list(APPEND cartelle ${cartella_intestazione})
    endforeach()
    list(REMOVE_DUPLICATES cartelle)
    if(CMAKE_CROSSCOMPILING)
        find_program(VORANDEL_CXX_OSPITE NAMES c++ g++ clang++ REQUIRED)
        set(pittore ${CMAKE_CURRENT_BINARY_DIR}/${bersaglio}_ospite)
        list(TRANSFORM cartelle PREPEND -I OUTPUT_VARIABLE opzioni_include)
        add_custom_command(
            OUTPUT ${pittore}
            COMMAND ${VORANDEL_CXX_OSPITE} -std=c++17 -O2 -Wall -Wextra -Werror ${opzioni_include} -o ${pittore}
                    ${sorgente}
            DEPENDS ${sorgente} ${intestazioni}
            COMMENT "Building the painter of ${commento} for the build machine"
            VERBATIM)
        set(dipende ${pittore})
    else()
        get_filename_component(nome ${sorgente} NAME_WE)
        add_executable(${nome} ${sorgente})
        target_include_directories(${nome} PRIVATE ${cartelle})
        set(dipende ${nome})
        set(pittore $<TARGET_FILE:${nome}>)
    endif()
    add_custom_command(
        OUTPUT ${uscita}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${cartella}
        COMMAND ${pittore} ${uscita}
        DEPENDS ${dipende}
        COMMENT "Painting ${commento}"
        VERBATIM)
    add_custom_target(${bersaglio} ALL DEPENDS ${uscita})
endfunction()
