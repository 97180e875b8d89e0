# Painters: programs of the build machine that paint a file at build time
# (the sprite sheet, the icon). The cross build compiles them with the host
# compiler; the native build makes them ordinary programs.
#
# vorandel_pittore(NAME SOURCE [SOURCE.cpp...] [HEADER...]): the painter NAME,
# compiled from its sources (the first has main). Each HEADER is a header
# that the sources include, their own or the game's: its folder goes on the
# include path, and the painter is built again when it changes.
#
# vorandel_dipinto(TARGET NAME OUTPUT COMMENT [ARGS...]): the target TARGET
# makes OUTPUT as part of ALL by running `NAME OUTPUT ARGS...`.
function(vorandel_pittore nome sorgente)
    get_filename_component(sorgente ${sorgente} ABSOLUTE)
    set(intestazioni)
    set(cartelle)
    foreach(intestazione ${ARGN})
        get_filename_component(intestazione ${intestazione} ABSOLUTE)
        if(intestazione MATCHES "\\.cpp$")
            list(APPEND sorgente ${intestazione})
            continue()
        endif()
        get_filename_component(cartella_intestazione ${intestazione} DIRECTORY)
        list(APPEND intestazioni ${intestazione})
        list(APPEND cartelle ${cartella_intestazione})
    endforeach()
    list(REMOVE_DUPLICATES cartelle)
    if(CMAKE_CROSSCOMPILING)
        find_program(VORANDEL_CXX_OSPITE NAMES c++ g++ clang++ REQUIRED)
        set(programma ${CMAKE_CURRENT_BINARY_DIR}/${nome}_ospite)
        list(TRANSFORM cartelle PREPEND -I OUTPUT_VARIABLE opzioni_include)
        add_custom_command(
            OUTPUT ${programma}
            COMMAND ${VORANDEL_CXX_OSPITE} -std=c++${VORANDEL_STANDARD_CXX} -O2 ${VORANDEL_AVVISI} ${opzioni_include}
                    -o ${programma} ${sorgente}
            DEPENDS ${sorgente} ${intestazioni}
            COMMENT "Building the painter ${nome} for the build machine"
            VERBATIM)
        add_custom_target(${nome} DEPENDS ${programma})
        set_target_properties(${nome} PROPERTIES VORANDEL_PROGRAMMA ${programma})
    else()
        add_executable(${nome} ${sorgente})
        target_include_directories(${nome} PRIVATE ${cartelle})
        set_target_properties(${nome} PROPERTIES VORANDEL_PROGRAMMA $<TARGET_FILE:${nome}>)
    endif()
endfunction()

function(vorandel_dipinto bersaglio pittore uscita commento)
    get_filename_component(cartella ${uscita} DIRECTORY)
    get_target_property(programma ${pittore} VORANDEL_PROGRAMMA)
    add_custom_command(
        OUTPUT ${uscita}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${cartella}
        COMMAND ${programma} ${uscita} ${ARGN}
        DEPENDS ${pittore} ${programma}
        COMMENT "Painting ${commento}"
        VERBATIM)
    add_custom_target(${bersaglio} ALL DEPENDS ${uscita})
endfunction()
