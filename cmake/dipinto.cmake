# vorandel_dipinto(TARGET SOURCE OUTPUT COMMENT [ARGS...]): a program of the
# build machine, compiled from one source, that paints the file OUTPUT at
# build time (the sprite sheet, the icon), called as `painter OUTPUT ARGS...`.
# The cross build compiles it with the host compiler; the target TARGET
# makes OUTPUT as part of ALL. One painter may make several files.
function(vorandel_dipinto bersaglio sorgente uscita commento)
    get_filename_component(sorgente ${sorgente} ABSOLUTE)
    get_filename_component(cartella ${uscita} DIRECTORY)
    if(CMAKE_CROSSCOMPILING)
        find_program(VORANDEL_CXX_OSPITE NAMES c++ g++ clang++ REQUIRED)
        set(pittore ${CMAKE_CURRENT_BINARY_DIR}/${bersaglio}_ospite)
        add_custom_command(
            OUTPUT ${pittore}
            COMMAND ${VORANDEL_CXX_OSPITE} -std=c++17 -O2 -Wall -Wextra -Werror -o ${pittore} ${sorgente}
            DEPENDS ${sorgente}
            COMMENT "Building the painter of ${commento} for the build machine"
            VERBATIM)
        set(dipende ${pittore})
    else()
        get_filename_component(nome ${sorgente} NAME_WE)
        if(NOT TARGET ${nome})
            add_executable(${nome} ${sorgente})
        endif()
        set(dipende ${nome})
        set(pittore $<TARGET_FILE:${nome}>)
    endif()
    add_custom_command(
        OUTPUT ${uscita}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${cartella}
        COMMAND ${pittore} ${uscita} ${ARGN}
        DEPENDS ${dipende}
        COMMENT "Painting ${commento}"
        VERBATIM)
    add_custom_target(${bersaglio} ALL DEPENDS ${uscita})
endfunction()
