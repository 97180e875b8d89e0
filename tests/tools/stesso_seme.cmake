# Runs the match runner twice with the same options and checks that the
# results are the same, apart from the times.
# cmake -DPARTITE=<runner> -P stesso_seme.cmake
foreach(giro 1 2)
    execute_process(COMMAND ${PARTITE} --skill1 4 --skill2 2 --games 40 --seed 12345 --quiet
                    OUTPUT_VARIABLE uscita RESULT_VARIABLE esito)
    if(NOT esito EQUAL 0)
        message(FATAL_ERROR "partite ended with ${esito}:\n${uscita}")
    endif()
    string(REGEX REPLACE "\ntime [^\n]*" "" uscita "${uscita}")
    string(REGEX REPLACE "\ngames per second [^\n]*" "" uscita "${uscita}")
    set(uscita_${giro} "${uscita}")
endforeach()
if(NOT uscita_1 STREQUAL uscita_2)
    message(FATAL_ERROR "the same seed gave different results:\n${uscita_1}\n----\n${uscita_2}")
endif()
if(NOT uscita_1 MATCHES "Elo difference")
    message(FATAL_ERROR "no Elo line in:\n${uscita_1}")
endif()
message(STATUS "${uscita_1}")
