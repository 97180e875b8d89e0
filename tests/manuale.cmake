# Tests of the manual (made by tools/manuale.cmake).
set(prove_manuale ${CMAKE_CURRENT_LIST_DIR}/manuale)

# The generator refuses malformed sources, and sources that halibut only
# warns about, and turns picture paragraphs into pictures.
add_test(NAME manuale_generatore
    COMMAND ${CMAKE_COMMAND}
            -DHALIBUT=${VORANDEL_HALIBUT}
            -DGENERA=${CMAKE_SOURCE_DIR}/docs/manuale/genera.cmake
            -DPROVE=${prove_manuale}
            -DIMMAGINE=${CMAKE_SOURCE_DIR}/docs/manuale/regola.png
            -DLAVORO=${CMAKE_CURRENT_BINARY_DIR}/manuale_generatore
            -P ${prove_manuale}/rifiuta.cmake)

# The HTML copy kept in docs/manuale/html (the one the README links to) is
# what the current sources make.
add_test(NAME manuale_copia_aggiornata
    COMMAND ${CMAKE_COMMAND}
            -DFATTO=${CMAKE_BINARY_DIR}/manuale/html
            -DSALVATO=${CMAKE_SOURCE_DIR}/docs/manuale/html
            -P ${prove_manuale}/confronta.cmake)

if(WIN32)
    # "Help topics" under Wine: the rule that picks the help file or the HTML
    # manual; the help file as the game opens it (the contents page comes up,
    # no error box does, and the game stays responsive); the HTML manual
    # handed to the program registered for .html pages, here a recorder.
    add_executable(registra_apertura WIN32 ${prove_manuale}/registra_apertura.cpp)
    vorandel_test(test_aiuto ${prove_manuale}/test_aiuto.cpp)
    target_link_libraries(test_aiuto PRIVATE aiuto)
    add_dependencies(test_aiuto manuale vorandel32 foglio_dib registra_apertura)
    set_tests_properties(test_aiuto PROPERTIES
        ENVIRONMENT "VORANDEL_MANUALE=${CMAKE_BINARY_DIR}/ui/Vorandel.hlp;VORANDEL_GIOCO=$<TARGET_FILE:vorandel32>;VORANDEL_FOGLIO=${CMAKE_BINARY_DIR}/ui/Tutto261.dib;VORANDEL_PAGINE=${CMAKE_BINARY_DIR}/ui/manuale;VORANDEL_REGISTRATORE=$<TARGET_FILE:registra_apertura>")
endif()

# The script that measures the table of skills still reads the match
# runner's report (native builds, where the runner is built).
if(TARGET partite)
    add_test(NAME manuale_tabella_abilita
        COMMAND ${CMAKE_COMMAND}
                -DSCRIPT=${CMAKE_SOURCE_DIR}/scripts/tabella-abilita
                -DBUILD=${CMAKE_BINARY_DIR}
                -DHALIBUT=${VORANDEL_HALIBUT}
                -DGENERA=${CMAKE_SOURCE_DIR}/docs/manuale/genera.cmake
                -DMANUALE=${CMAKE_SOURCE_DIR}/docs/manuale/vorandel.but
                -DLAVORO=${CMAKE_CURRENT_BINARY_DIR}/manuale_tabella
                -P ${prove_manuale}/tabella.cmake)
    set_tests_properties(manuale_tabella_abilita PROPERTIES TIMEOUT 600)
endif()
