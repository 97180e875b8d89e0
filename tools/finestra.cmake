# Programs that serve the window side of the game. Two developers share this
# file: each edits only the section marked with their part.

# --- Resources ---

# The program icon, a 32 by 32 picture in 16 colours, is computed at build
# time by a program of the build machine; the resource script in ui/ takes it
# from tools/icona/vorandel.ico in the build folder (target icona_vorandel).
set(icona_ico ${CMAKE_CURRENT_BINARY_DIR}/icona/vorandel.ico)
vorandel_dipinto(icona_vorandel ${CMAKE_CURRENT_LIST_DIR}/genera_icona.cpp ${icona_ico} "the program icon vorandel.ico")

# The same picture as PNG for the Linux desktop's menu (scripts/install-desktop):
# 32 by 32 as it is, and 256 by 256 with each pixel an 8 by 8 square, so that
# menus that show large icons scale a sharp picture down.
vorandel_dipinto(icona_png ${CMAKE_CURRENT_LIST_DIR}/genera_icona.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/icona/vorandel32.png "the desktop icon vorandel32.png")
vorandel_dipinto(icona_png_256 ${CMAKE_CURRENT_LIST_DIR}/genera_icona.cpp
    ${CMAKE_CURRENT_BINARY_DIR}/icona/vorandel32-256.png "the large desktop icon vorandel32-256.png" 256)

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
