# Programs that serve the window side of the game. Two developers share this
# file: each edits only the section marked with their part.

# --- Resources ---

# The program icon, a 32 by 32 picture in 16 colours, is computed at build
# time by a program of the build machine; the resource script in ui/ takes it
# from tools/icona/vorandel.ico in the build folder (target icona_vorandel).
set(icona_ico ${CMAKE_CURRENT_BINARY_DIR}/icona/vorandel.ico)
if(CMAKE_CROSSCOMPILING)
    find_program(VORANDEL_CXX_OSPITE NAMES c++ g++ clang++ REQUIRED)
    set(genera_icona ${CMAKE_CURRENT_BINARY_DIR}/genera_icona_ospite)
    add_custom_command(
        OUTPUT ${genera_icona}
        COMMAND ${VORANDEL_CXX_OSPITE} -std=c++17 -O2 -Wall -Wextra -Werror
                -o ${genera_icona} ${CMAKE_CURRENT_LIST_DIR}/genera_icona.cpp
        DEPENDS ${CMAKE_CURRENT_LIST_DIR}/genera_icona.cpp
        COMMENT "Building the icon painter for the build machine"
        VERBATIM)
    set(dipende_icona ${genera_icona})
else()
    add_executable(genera_icona ${CMAKE_CURRENT_LIST_DIR}/genera_icona.cpp)
    set(dipende_icona genera_icona)
    set(genera_icona $<TARGET_FILE:genera_icona>)
endif()
add_custom_command(
    OUTPUT ${icona_ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icona
    COMMAND ${genera_icona} ${icona_ico}
    DEPENDS ${dipende_icona}
    COMMENT "Painting the program icon vorandel.ico"
    VERBATIM)
add_custom_target(icona_vorandel ALL DEPENDS ${icona_ico})

# --- end of resources ---

# --- The automation program for end-to-end runs ---

# automa: drives the game from outside under the same Wine, as a user would
# (scripts/e2e, scripts/play). A console program, so that it reports on
# standard output.
if(WIN32)
    add_executable(automa ${CMAKE_CURRENT_LIST_DIR}/automa.cpp)
    target_include_directories(automa PRIVATE ${CMAKE_SOURCE_DIR}/rules ${CMAKE_SOURCE_DIR}/ui)
    target_link_libraries(automa PRIVATE user32 gdi32)
endif()

# --- end of the automation program for end-to-end runs ---
