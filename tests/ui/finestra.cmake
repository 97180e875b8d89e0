# Tests of the window side of the game, run under Wine. Two developers share
# this file: each edits only the section marked with their part.

# --- Info panel, Options and About dialogs ---

# Each program links the compiled resources, so that the dialog templates,
# the menu and the icon are found in its own module.
vorandel_test(test_pannello ${CMAKE_CURRENT_LIST_DIR}/test_pannello.cpp)
target_link_libraries(test_pannello PRIVATE finestra risorse)
vorandel_test(test_dialog ${CMAKE_CURRENT_LIST_DIR}/test_dialog.cpp)
target_link_libraries(test_dialog PRIVATE finestra risorse)
vorandel_test(test_risorse ${CMAKE_CURRENT_LIST_DIR}/test_risorse.cpp)
target_link_libraries(test_risorse PRIVATE risorse)
target_include_directories(test_risorse PRIVATE ${CMAKE_SOURCE_DIR}/ui)
target_link_libraries(test_risorse PRIVATE user32 gdi32)

# --- end of info panel, Options and About dialogs ---

# --- Main window, tournament loop, the game as a whole ---

if(WIN32)
    # The main window driven from inside, with the real panel, dialogs and
    # drawing; it runs in a folder of its own that holds the sprite sheet.
    set(cartella_main ${CMAKE_CURRENT_BINARY_DIR}/prova_main)
    vorandel_test(test_main ${CMAKE_CURRENT_LIST_DIR}/test_main.cpp $<TARGET_OBJECTS:risorse>)
    target_link_libraries(test_main PRIVATE finestra_principale)
    add_custom_command(
        OUTPUT ${cartella_main}/Tutto261.dib
        COMMAND ${CMAKE_COMMAND} -E make_directory ${cartella_main}
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/ui/Tutto261.dib ${cartella_main}/Tutto261.dib
        DEPENDS ${CMAKE_BINARY_DIR}/ui/Tutto261.dib foglio_dib
        VERBATIM)
    add_custom_target(prova_main_foglio ALL DEPENDS ${cartella_main}/Tutto261.dib)
    add_dependencies(test_main prova_main_foglio)
    set_tests_properties(test_main PROPERTIES WORKING_DIRECTORY ${cartella_main})

    # The real game, started in folders of its own.
    vorandel_test(test_main_avvio ${CMAKE_CURRENT_LIST_DIR}/test_main_avvio.cpp)
    add_dependencies(test_main_avvio vorandel32 foglio_dib)
    set_tests_properties(test_main_avvio PROPERTIES
        ENVIRONMENT "VORANDEL_GIOCO=$<TARGET_FILE:vorandel32>;VORANDEL_FOGLIO=${CMAKE_BINARY_DIR}/ui/Tutto261.dib")

    # The game needs nothing beside it but Windows' own DLLs (shell32 opens
    # the HTML manual in the browser).
    add_test(NAME vorandel32_dll_di_sistema
        COMMAND sh -c "dll=$(${CMAKE_OBJDUMP} -p \"$1\" | sed -n 's/.*DLL Name: //p'); echo \"$dll\"; [ -n \"$dll\" ] && ! echo \"$dll\" | grep -qvixE 'gdi32.dll|kernel32.dll|msvcrt.dll|shell32.dll|user32.dll'"
                sh $<TARGET_FILE:vorandel32>)

    # The whole game played from outside on a private X display (Xvfb), in a
    # Wine prefix of its own with the X11 driver; about half a minute, more
    # the first time, when the prefix is made.
    add_test(NAME e2e COMMAND ${CMAKE_SOURCE_DIR}/scripts/e2e ${CMAKE_BINARY_DIR})
    set_tests_properties(e2e PROPERTIES LABELS e2e TIMEOUT 1200 RESOURCE_LOCK wine_desktop)
endif()

# --- end of main window, tournament loop, the game as a whole ---
