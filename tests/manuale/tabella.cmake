# scripts/tabella-abilita against the match runner of this build: a short
# run (10 games a match) must give the appendix a row for every skill, and
# the manual with that appendix must go through halibut cleanly, so a change
# in the runner's report that the script no longer reads fails here rather
# than at the next real measurement.
#   cmake -DSCRIPT=scripts/tabella-abilita -DBUILD=<native build> -DHALIBUT=halibut
#         -DGENERA=genera.cmake -DMANUALE=vorandel.but -DLAVORO=<scratch> -P tabella.cmake
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE "${LAVORO}")
file(MAKE_DIRECTORY "${LAVORO}")

execute_process(
    COMMAND "${SCRIPT}" --games 10 --seed 7 --build "${BUILD}" --output "${LAVORO}/abilita.but"
    RESULT_VARIABLE esito
    OUTPUT_VARIABLE uscita
    ERROR_VARIABLE errori)
if(NOT esito EQUAL 0)
    message(FATAL_ERROR "tabella-abilita failed (${esito}):\n${uscita}${errori}")
endif()

file(STRINGS "${LAVORO}/abilita.but" righe REGEX "^\\\\c +[0-9]+ ")
list(LENGTH righe n)
if(NOT n EQUAL 10)
    message(FATAL_ERROR "the appendix has ${n} rows of skills, not 10:\n${righe}")
endif()
set(attesa 1)
foreach(riga IN LISTS righe)
    # skill, wins, draws, losses (10 games in all), score, moves, Elo
    if(NOT riga MATCHES "^\\\\c +([0-9]+) +([0-9]+) +([0-9]+) +([0-9]+) +[0-9.]+% +[0-9]+  [-+]")
        message(FATAL_ERROR "a row of the appendix is malformed: ${riga}")
    endif()
    math(EXPR partite "${CMAKE_MATCH_2} + ${CMAKE_MATCH_3} + ${CMAKE_MATCH_4}")
    if(NOT CMAKE_MATCH_1 EQUAL attesa OR NOT partite EQUAL 10)
        message(FATAL_ERROR "expected skill ${attesa} with 10 games: ${riga}")
    endif()
    math(EXPR attesa "${attesa} + 1")
endforeach()
file(STRINGS "${LAVORO}/abilita.but" comando REGEX "^\\\\c scripts/tabella-abilita --games 10 --seed 7$")
if(NOT comando)
    message(FATAL_ERROR "the appendix does not state the command that made it")
endif()

execute_process(
    COMMAND ${CMAKE_COMMAND} -DHALIBUT=${HALIBUT} "-DSORGENTI=${MANUALE};${LAVORO}/abilita.but"
            -DHLP=${LAVORO}/out/Vorandel.hlp -DHTML=${LAVORO}/out/html -P ${GENERA}
    RESULT_VARIABLE esito
    OUTPUT_VARIABLE uscita
    ERROR_VARIABLE errori)
if(NOT esito EQUAL 0)
    message(FATAL_ERROR "the manual with the new appendix was refused:\n${uscita}${errori}")
endif()
message(STATUS "tabella-abilita reads the match runner and writes a clean appendix.")
