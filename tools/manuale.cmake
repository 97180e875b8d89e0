# The manual: one halibut source, docs/manuale/vorandel.but, followed by the
# generated table of the skills, docs/manuale/abilita.but. The build makes
# the help file "Vorandel.hlp" (with its contents file "Vorandel.cnt") beside
# the game in the build's ui folder, where "Help topics" looks for it, and
# the same pages as HTML in the build's manuale/html folder (copied, in the
# cross build, to the folder manuale beside the game). A malformed
# source, or one that halibut only warns about, fails the build.
find_program(VORANDEL_HALIBUT halibut REQUIRED)

set(VORANDEL_MANUALE_DIR ${CMAKE_SOURCE_DIR}/docs/manuale)
set(VORANDEL_MANUALE_SORGENTI
    ${VORANDEL_MANUALE_DIR}/vorandel.but
    ${VORANDEL_MANUALE_DIR}/abilita.but)
set(VORANDEL_MANUALE_HLP ${CMAKE_BINARY_DIR}/ui/Vorandel.hlp)
set(VORANDEL_MANUALE_HTML ${CMAKE_BINARY_DIR}/manuale/html)

# The pictures of the HTML pages: the diagram of the rule of movement, the
# info panel and the board as the game draws them. The board's picture is
# made by another tool and may not be there yet; adding it to docs/ makes
# CMake look again.
set(VORANDEL_MANUALE_IMMAGINI ${VORANDEL_MANUALE_DIR}/regola.png ${VORANDEL_MANUALE_DIR}/pannello.png)
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/tavola.png)
    list(APPEND VORANDEL_MANUALE_IMMAGINI ${CMAKE_SOURCE_DIR}/docs/tavola.png)
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs)

string(REPLACE ";" "$<SEMICOLON>" sorgenti_arg "${VORANDEL_MANUALE_SORGENTI}")
string(REPLACE ";" "$<SEMICOLON>" immagini_arg "${VORANDEL_MANUALE_IMMAGINI}")
add_custom_command(
    OUTPUT ${VORANDEL_MANUALE_HLP} ${CMAKE_BINARY_DIR}/ui/Vorandel.cnt ${VORANDEL_MANUALE_HTML}/index.html
    COMMAND ${CMAKE_COMMAND}
            -DHALIBUT=${VORANDEL_HALIBUT}
            -DSORGENTI=${sorgenti_arg}
            -DHLP=${VORANDEL_MANUALE_HLP}
            -DHTML=${VORANDEL_MANUALE_HTML}
            -DIMMAGINI=${immagini_arg}
            -P ${VORANDEL_MANUALE_DIR}/genera.cmake
    DEPENDS ${VORANDEL_MANUALE_SORGENTI} ${VORANDEL_MANUALE_IMMAGINI} ${VORANDEL_MANUALE_DIR}/genera.cmake
    COMMENT "Making the manual: Vorandel.hlp and its HTML pages"
    VERBATIM)
set(manuale_fatto ${VORANDEL_MANUALE_HLP} ${VORANDEL_MANUALE_HTML}/index.html)

# The game in the build's ui folder opens the HTML pages from the folder
# "manuale" beside it, where Windows has no Help engine; the release ships
# them there too. The copy is made afresh, so that no stale page stays.
if(WIN32)
    set(VORANDEL_MANUALE_GIOCO ${CMAKE_BINARY_DIR}/ui/manuale)
    add_custom_command(
        OUTPUT ${VORANDEL_MANUALE_GIOCO}/index.html
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${VORANDEL_MANUALE_GIOCO}
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${VORANDEL_MANUALE_HTML} ${VORANDEL_MANUALE_GIOCO}
        COMMAND ${CMAKE_COMMAND} -E touch ${VORANDEL_MANUALE_GIOCO}/index.html
        DEPENDS ${VORANDEL_MANUALE_HTML}/index.html
        COMMENT "Copying the HTML manual beside the game"
        VERBATIM)
    list(APPEND manuale_fatto ${VORANDEL_MANUALE_GIOCO}/index.html)
endif()
add_custom_target(manuale ALL DEPENDS ${manuale_fatto})

# The picture of the info panel in the manual, docs/manuale/pannello.png,
# drawn by the panel's own window procedure under Wine:
#   cmake --build <win32 build> --target pannello
if(WIN32)
    add_executable(ritratto_pannello ${CMAKE_CURRENT_LIST_DIR}/ritratto_pannello.cpp)
    target_link_libraries(ritratto_pannello PRIVATE finestra regole)
    find_program(VORANDEL_CONVERT convert)
    if(VORANDEL_CONVERT)
        add_custom_target(pannello
            COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-esegui ${VORANDEL_PREFISSO} $<TARGET_FILE:ritratto_pannello> pannello.bmp
            COMMAND ${VORANDEL_CONVERT} pannello.bmp -strip +dither -colors 64
                    -define png:exclude-chunks=date,time -define png:compression-level=9
                    ${VORANDEL_MANUALE_DIR}/pannello.png
            WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
            DEPENDS ritratto_pannello prefisso_wine
            COMMENT "Drawing the info panel into docs/manuale/pannello.png"
            VERBATIM)
    endif()
endif()
