# The computer player: the game tree against its plain form, the decision,
# and the worker through the real match.
vorandel_test(test_computer computer/test_albero.cpp computer/test_lavoratore.cpp)
target_link_libraries(test_computer PRIVATE computer_prova)
if(WIN32)
    # Scores are compared bit for bit: double arithmetic as written.
    target_compile_options(test_computer PRIVATE -msse2 -mfpmath=sse)
else()
    # The benchmark and the match runner, briefly. The benchmark fails when
    # the fast and the plain tree decide differently.
    add_test(NAME bench_breve COMMAND bench --skill 1-6 --min-ms 0)
    set_tests_properties(bench_breve PROPERTIES FAIL_REGULAR_EXPRESSION "DIFFERENT|ERROR")
    add_test(NAME partite_stesso_seme
             COMMAND ${CMAKE_COMMAND} -DPARTITE=$<TARGET_FILE:partite> -P ${CMAKE_CURRENT_LIST_DIR}/stesso_seme.cmake)
    # One process or several, the same games and the same table; the runs
    # of 25 games start on both parities and on both sides of --swap-sides.
    add_test(NAME partite_processi
             COMMAND ${CMAKE_COMMAND} -DPARTITE=$<TARGET_FILE:partite>
                     "-DCOMUNI=--skill1;4;--skill2;2;--games;60;--seed;12345;--swap-sides;--quiet"
                     "-DPRIMA=--jobs;1" "-DSECONDA=--jobs;2" -P ${CMAKE_CURRENT_LIST_DIR}/stesso_seme.cmake)
    # Games stopped after one move are all even: the score reads +0.0.
    add_test(NAME partite_pari COMMAND partite --games 4 --max-plies 1 --jobs 1)
    set_tests_properties(partite_pari PROPERTIES PASS_REGULAR_EXPRESSION "\nElo difference: \\+0\\.0 \\+/- 0\\.0,")
    add_test(NAME partite_opzione_errata COMMAND partite --skill1 11)
    set_tests_properties(partite_opzione_errata PROPERTIES WILL_FAIL TRUE)
endif()
