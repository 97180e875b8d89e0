# Runs the match runner twice and checks that the two tables are the same
# apart from the time lines: with the same options (the same seed gives the
# same games), or with PRIMA added for the first run and SECONDA for the
# second (one process against several must give the same table). ATTESO
# is a list of patterns (regular expressions) the table must match (by
# default the Elo line).
# cmake -DPARTITE=<runner> [-DCOMUNI=<options>] [-DPRIMA=<options>] [-DSECONDA=<options>] [-DATTESO=<text>]
#       -P stesso_seme.cmake
if(NOT DEFINED COMUNI)
    set(COMUNI --skill1 4 --skill2 2 --games 40 --seed 12345 --quiet)
endif()
foreach(giro PRIMA SECONDA)
    execute_process(COMMAND ${PARTITE} ${COMUNI} ${${giro}}
                    OUTPUT_VARIABLE uscita ERROR_VARIABLE errori RESULT_VARIABLE esito)
    if(NOT esito EQUAL 0)
        message(FATAL_ERROR "partite ${COMUNI} ${${giro}} ended with ${esito}:\n${uscita}${errori}")
    endif()
    string(REGEX REPLACE "\ntime [^\n]*" "" uscita "${uscita}")
    string(REGEX REPLACE "\ngames per second [^\n]*" "" uscita "${uscita}")
    set(uscita_${giro} "${uscita}")
endforeach()
if(NOT uscita_PRIMA STREQUAL uscita_SECONDA)
    message(FATAL_ERROR "different results with ${PRIMA} and with ${SECONDA}:\n${uscita_PRIMA}\n----\n${uscita_SECONDA}")
endif()
if(NOT DEFINED ATTESO)
    set(ATTESO "Elo difference")
endif()
foreach(atteso IN LISTS ATTESO)
    if(NOT uscita_PRIMA MATCHES "${atteso}")
        message(FATAL_ERROR "no \"${atteso}\" in:\n${uscita_PRIMA}")
    endif()
endforeach()
message(STATUS "${uscita_PRIMA}")
