# The sprite sheet's loader, portable to the native build; on Windows also
# the drawing of the board and the tokens, which the game links.
add_library(foglio STATIC ${CMAKE_CURRENT_LIST_DIR}/bitmap.cpp)
target_include_directories(foglio PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(foglio PUBLIC regole)

if(WIN32)
    add_library(disegno STATIC ${CMAKE_CURRENT_LIST_DIR}/disegno.cpp)
    target_link_libraries(disegno PUBLIC foglio regole gdi32 user32)
endif()
