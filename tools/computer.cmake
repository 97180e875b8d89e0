# The computer's benchmark and the headless match runner: native only, on
# the Win32 stand-in.
if(NOT WIN32)
    add_executable(bench ${CMAKE_CURRENT_LIST_DIR}/bench.cpp)
    target_link_libraries(bench PRIVATE computer_prova)

    add_executable(partite ${CMAKE_CURRENT_LIST_DIR}/partite.cpp)
    target_link_libraries(partite PRIVATE computer_prova)
endif()
