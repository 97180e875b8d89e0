# The window side of the game (Win32 only). Two developers share this file:
# the info panel, the dialogs and the resources above; the game itself in
# the section at the end.

# --- Info panel, Options and About dialogs, resources ---

# The info panel and the dialog procedures.
add_library(finestra STATIC
    ${CMAKE_CURRENT_LIST_DIR}/pannello.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog.cpp)
target_include_directories(finestra PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(finestra PUBLIC regole computer user32 gdi32)

# The menu, the dialog templates and the icon, compiled once and linked into
# every program that opens them (a dialog template is looked up in the
# program's own module). The icon is written at build time by
# tools/genera_icona (see tools/finestra.cmake).
enable_language(RC)
set(VORANDEL_ICONA_DIR ${CMAKE_BINARY_DIR}/tools/icona)
add_library(risorse OBJECT ${CMAKE_CURRENT_LIST_DIR}/vorandel.rc)
target_include_directories(risorse PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${VORANDEL_ICONA_DIR})
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/vorandel.rc PROPERTIES
    OBJECT_DEPENDS "${VORANDEL_ICONA_DIR}/vorandel.ico;${CMAKE_CURRENT_LIST_DIR}/risorse.h")
add_dependencies(risorse icona_vorandel)

# --- end of info panel, Options and About dialogs, resources ---

# --- The game ---

# "Help topics": the help file, or the HTML manual in the browser (through
# shell32) where Windows has no Help engine.
add_library(aiuto STATIC ${CMAKE_CURRENT_LIST_DIR}/aiuto.cpp)
target_include_directories(aiuto PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(aiuto PUBLIC user32 shell32)

# The main window and the tournament loop, in a library of their own so that
# the test programs can build the window and drive it; WinMain and the
# program's static objects are in main.cpp alone.
add_library(finestra_principale STATIC ${CMAKE_CURRENT_LIST_DIR}/finestra_principale.cpp)
target_include_directories(finestra_principale PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(finestra_principale PUBLIC finestra disegno foglio aiuto regole computer user32 gdi32)

# The game: vorandel32.exe, beside the sprite sheet Tutto261.dib in the
# build's ui folder, so that it runs from there as it is.
add_executable(vorandel32 WIN32 ${CMAKE_CURRENT_LIST_DIR}/main.cpp $<TARGET_OBJECTS:risorse>)
target_link_libraries(vorandel32 PRIVATE finestra_principale finestra disegno foglio aiuto regole computer user32 gdi32 shell32)
set_target_properties(vorandel32 PROPERTIES
    OUTPUT_NAME vorandel32
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/ui)
target_link_options(vorandel32 PRIVATE -mwindows)
# The sprite sheet it reads at start-up (painted by tools/foglio.cmake).
add_dependencies(vorandel32 foglio_dib)

# --- end of the game ---
