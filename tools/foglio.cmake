# The sprite sheet "Tutto261.dib" is painted at build time by a program of
# the build machine and put beside the game, in the build's ui folder. The
# cross build compiles that program with the host compiler.
set(foglio_dib ${CMAKE_BINARY_DIR}/ui/Tutto261.dib)
if(CMAKE_CROSSCOMPILING)
    find_program(VORANDEL_CXX_OSPITE NAMES c++ g++ clang++ REQUIRED)
    set(genera_foglio ${CMAKE_CURRENT_BINARY_DIR}/genera_foglio_ospite)
    add_custom_command(
        OUTPUT ${genera_foglio}
        COMMAND ${VORANDEL_CXX_OSPITE} -std=c++17 -O2 -Wall -Wextra -Werror
                -o ${genera_foglio} ${CMAKE_CURRENT_LIST_DIR}/genera_foglio.cpp
        DEPENDS ${CMAKE_CURRENT_LIST_DIR}/genera_foglio.cpp
        COMMENT "Building the sprite-sheet painter for the build machine"
        VERBATIM)
    set(dipende_foglio ${genera_foglio})
else()
    add_executable(genera_foglio ${CMAKE_CURRENT_LIST_DIR}/genera_foglio.cpp)
    set(dipende_foglio genera_foglio)
    set(genera_foglio $<TARGET_FILE:genera_foglio>)
endif()
add_custom_command(
    OUTPUT ${foglio_dib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/ui
    COMMAND ${genera_foglio} ${foglio_dib}
    DEPENDS ${dipende_foglio}
    COMMENT "Painting the sprite sheet Tutto261.dib"
    VERBATIM)
add_custom_target(foglio_dib ALL DEPENDS ${foglio_dib})

# The board renderer: draws a mid-game position through the game's own
# drawing code and writes it as a bitmap file.
# It reads "Tutto261.dib" from the current directory, as the game does.
#   ritratto OUTPUT.bmp
if(WIN32)
    add_executable(ritratto ${CMAKE_CURRENT_LIST_DIR}/ritratto.cpp)
    target_include_directories(ritratto PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
    target_link_libraries(ritratto PRIVATE disegno finestra foglio regole)
    add_dependencies(ritratto foglio_dib)

    # docs/tavola.png, the picture of the board in the documentation:
    #   cmake --build <win32 build> --target tavola
    find_program(VORANDEL_CONVERT convert)
    if(VORANDEL_CONVERT)
        add_custom_target(tavola
            COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-esegui ${VORANDEL_PREFISSO} $<TARGET_FILE:ritratto> tavola.bmp
            COMMAND ${VORANDEL_CONVERT} tavola.bmp -strip +dither -colors 256
                    -define png:exclude-chunks=date,time -define png:compression-level=9
                    ${CMAKE_SOURCE_DIR}/docs/tavola.png
            WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/ui
            DEPENDS ritratto foglio_dib prefisso_wine
            COMMENT "Drawing the board into docs/tavola.png"
            VERBATIM)
    endif()
endif()
