# The sprite sheet "Tutto261.dib" is painted at build time by a program of
# the build machine and put beside the game, in the build's ui folder. The
# cross build compiles that program with the host compiler.
set(foglio_dib ${CMAKE_BINARY_DIR}/ui/Tutto261.dib)
vorandel_dipinto(foglio_dib ${CMAKE_CURRENT_LIST_DIR}/genera_foglio.cpp ${foglio_dib} "the sprite sheet Tutto261.dib")

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
