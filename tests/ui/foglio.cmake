# Tests of the sprite sheet, its loader and the drawing.
set(foglio_dib ${CMAKE_BINARY_DIR}/ui/Tutto261.dib)
if(WIN32)
    # Under Wine the build tree is reached through drive Z:.
    set(foglio_per_test "Z:${foglio_dib}")
else()
    set(foglio_per_test "${foglio_dib}")
endif()

vorandel_test(test_bitmap ${CMAKE_CURRENT_LIST_DIR}/test_bitmap.cpp)
target_link_libraries(test_bitmap PRIVATE foglio)
target_compile_definitions(test_bitmap PRIVATE VORANDEL_FOGLIO="${foglio_per_test}")
add_dependencies(test_bitmap foglio_dib)

if(WIN32)
    # The drawing, with the real GDI under Wine; the panel that receives the
    # balance figure is the game's own.
    vorandel_test(test_disegno ${CMAKE_CURRENT_LIST_DIR}/test_disegno.cpp)
    target_link_libraries(test_disegno PRIVATE disegno finestra foglio)
    target_compile_definitions(test_disegno PRIVATE VORANDEL_FOGLIO="${foglio_per_test}")
    add_dependencies(test_disegno foglio_dib)
endif()

if(NOT WIN32)
    # Fuzzing the examination of sheet files with libFuzzer, which needs
    # clang: the target is built with clang++ whatever the build's compiler.
    # The seeds are written by fuzz_semi; the bounded run is a test.
    find_program(VORANDEL_CLANGXX NAMES clang++ clang++-14)
    if(VORANDEL_CLANGXX)
        set(fuzz_foglio ${CMAKE_CURRENT_BINARY_DIR}/fuzz_foglio)
        add_custom_command(
            OUTPUT ${fuzz_foglio}
            COMMAND ${VORANDEL_CLANGXX} -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined
                    -fno-sanitize-recover=all -Wall -Wextra -Werror
                    -I${CMAKE_SOURCE_DIR}/ui -I${CMAKE_SOURCE_DIR}/rules -I${CMAKE_SOURCE_DIR}/winstub/include
                    ${CMAKE_CURRENT_LIST_DIR}/fuzz_foglio.cpp ${CMAKE_SOURCE_DIR}/ui/bitmap.cpp
                    ${CMAKE_SOURCE_DIR}/winstub/winstub.cpp -pthread -o ${fuzz_foglio}
            DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_foglio.cpp ${CMAKE_SOURCE_DIR}/ui/bitmap.cpp
                    ${CMAKE_SOURCE_DIR}/ui/bitmap.h ${CMAKE_SOURCE_DIR}/winstub/winstub.cpp
                    ${CMAKE_SOURCE_DIR}/winstub/include/windows.h ${CMAKE_SOURCE_DIR}/rules/comune.h
            COMMENT "Building the sprite-sheet fuzzer with clang++"
            VERBATIM)
        add_custom_target(fuzz_foglio ALL DEPENDS ${fuzz_foglio})

        add_executable(fuzz_semi ${CMAKE_CURRENT_LIST_DIR}/fuzz_semi.cpp)
        set(fuzz_dir ${CMAKE_CURRENT_BINARY_DIR}/fuzz_foglio.d)
        add_test(NAME fuzz_foglio_pulisci COMMAND ${CMAKE_COMMAND} -E rm -rf ${fuzz_dir})
        add_test(NAME fuzz_foglio_cartelle
                 COMMAND ${CMAKE_COMMAND} -E make_directory ${fuzz_dir}/semi ${fuzz_dir}/nuovi)
        add_test(NAME fuzz_foglio_semi COMMAND fuzz_semi ${fuzz_dir}/semi)
        set_tests_properties(fuzz_foglio_pulisci fuzz_foglio_cartelle fuzz_foglio_semi
                             PROPERTIES FIXTURES_SETUP semi_foglio)
        set_tests_properties(fuzz_foglio_cartelle PROPERTIES DEPENDS fuzz_foglio_pulisci)
        set_tests_properties(fuzz_foglio_semi PROPERTIES DEPENDS fuzz_foglio_cartelle)
        add_test(NAME fuzz_foglio
                 COMMAND ${fuzz_foglio} -runs=200000 -max_len=40000 -seed=1 -artifact_prefix=${fuzz_dir}/
                         ${fuzz_dir}/nuovi ${fuzz_dir}/semi)
        set_tests_properties(fuzz_foglio PROPERTIES FIXTURES_REQUIRED semi_foglio TIMEOUT 300)
    endif()
endif()

if(NOT WIN32)
    # The painter writes the same bytes on every run.
    add_test(NAME genera_foglio_deterministico
             COMMAND sh -c "\"$1\" \"$2\" && cmp \"$2\" \"$3\"" sh $<TARGET_FILE:genera_foglio>
                     ${CMAKE_CURRENT_BINARY_DIR}/Tutto261_di_nuovo.dib ${foglio_dib})
endif()
