# scripts/tabella-abilita against the match runner of this build: a short
# round robin (10 games a pair) must give the appendix a row for every
# skill and a chart beside it (a PNG picture, which the appendix names, the
# same bytes when drawn again from the same games), and the manual with
# that appendix and its chart must go through halibut cleanly,
# so a change in the runner's report that the script no longer reads fails
# here rather than at the next real measurement. A second run aims at an
# error bar of 40 points: every rating but skill 1's (the anchor, at 0) must
# have one that reaches it, in blocks of four games a pair.
#   cmake -DSCRIPT=scripts/tabella-abilita -DBUILD=<native build> -DHALIBUT=halibut
#         -DGENERA=genera.cmake -DMANUALE=vorandel.but -DLAVORO=<scratch> -P tabella.cmake
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE "${LAVORO}")
file(MAKE_DIRECTORY "${LAVORO}")

# tabella(<options> <appendix>): runs the script, checks the command stated
# in the appendix and returns its rows of skills in `righe`.
function(tabella opzioni appendice)
    execute_process(
        COMMAND "${SCRIPT}" ${opzioni} --seed 7 --build "${BUILD}" --output "${appendice}"
        RESULT_VARIABLE esito
        OUTPUT_VARIABLE uscita
        ERROR_VARIABLE errori)
    if(NOT esito EQUAL 0)
        message(FATAL_ERROR "tabella-abilita ${opzioni} failed (${esito}):\n${uscita}${errori}")
    endif()
    list(JOIN opzioni " " testo)
    file(STRINGS "${appendice}" comando REGEX "^\\\\c scripts/tabella-abilita ${testo} --seed 7$")
    if(NOT comando)
        message(FATAL_ERROR "the appendix does not state the command that made it (${testo})")
    endif()
    file(STRINGS "${appendice}" r REGEX "^\\\\c +[0-9]+ +[0-9]+ ")
    list(LENGTH r n)
    if(NOT n EQUAL 10)
        message(FATAL_ERROR "the appendix has ${n} rows of skills, not 10:\n${r}")
    endif()
    set(righe "${r}" PARENT_SCOPE)
endfunction()

# One row: skill, games, wins, draws, losses, score, rating (+/- error).
set(forma "^\\\\c +([0-9]+) +([0-9]+) +([0-9]+) +([0-9]+) +([0-9]+) +[0-9.]+%  [-+][0-9.inf]+( \\+/- ([0-9.]+))?$")

tabella("--games;10" "${LAVORO}/abilita.but")
set(attesa 1)
foreach(riga IN LISTS righe)
    if(NOT riga MATCHES "${forma}")
        message(FATAL_ERROR "a row of the appendix is malformed: ${riga}")
    endif()
    math(EXPR partite "${CMAKE_MATCH_3} + ${CMAKE_MATCH_4} + ${CMAKE_MATCH_5}")
    # Nine opponents, ten games each.
    if(NOT CMAKE_MATCH_1 EQUAL attesa OR NOT CMAKE_MATCH_2 EQUAL 90 OR NOT partite EQUAL 90)
        message(FATAL_ERROR "expected skill ${attesa} with 90 games: ${riga}")
    endif()
    math(EXPR attesa "${attesa} + 1")
endforeach()

# The chart: a PNG picture beside the appendix, named by it, and the same
# bytes from the same games.
file(READ "${LAVORO}/abilita.png" firma LIMIT 8 HEX)
if(NOT firma STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "no PNG chart beside the appendix (it begins ${firma})")
endif()
file(READ "${LAVORO}/abilita.but" appendice)
if(NOT appendice MATCHES "W{abilita.png}")
    message(FATAL_ERROR "the appendix does not show its chart")
endif()
# The chart names the games its ratings rest on: 45 pairs of skills, 10
# games each.
if(NOT appendice MATCHES "W{abilita.png}{The[ \n]+ratings[^}]*, from 450 games\\.}")
    message(FATAL_ERROR "the chart does not say that its ratings rest on 450 games")
endif()
file(RENAME "${LAVORO}/abilita.png" "${LAVORO}/abilita_prima.png")
tabella("--games;10" "${LAVORO}/abilita.but")
file(SHA256 "${LAVORO}/abilita.png" dopo)
file(SHA256 "${LAVORO}/abilita_prima.png" prima)
if(NOT dopo STREQUAL prima)
    message(FATAL_ERROR "the same games drew another chart")
endif()

tabella("--error;40" "${LAVORO}/abilita40.but")
set(attesa 1)
foreach(riga IN LISTS righe)
    if(NOT riga MATCHES "${forma}" OR (attesa GREATER 1 AND "${CMAKE_MATCH_7}" STREQUAL ""))
        message(FATAL_ERROR "a row of the appendix is malformed or has no error bar: ${riga}")
    endif()
    if(attesa EQUAL 1)
        set(CMAKE_MATCH_7 1)  # the anchor: no error bar of its own
    endif()
    math(EXPR partite "${CMAKE_MATCH_3} + ${CMAKE_MATCH_4} + ${CMAKE_MATCH_5}")
    math(EXPR resto "${CMAKE_MATCH_2} % 4")
    if(NOT CMAKE_MATCH_1 EQUAL attesa OR NOT partite EQUAL CMAKE_MATCH_2 OR NOT resto EQUAL 0
       OR CMAKE_MATCH_7 GREATER 40 OR CMAKE_MATCH_7 EQUAL 0)
        message(FATAL_ERROR "expected skill ${attesa}, games in blocks of four, an error bar of at most 40: ${riga}")
    endif()
    math(EXPR attesa "${attesa} + 1")
endforeach()

execute_process(
    COMMAND ${CMAKE_COMMAND} -DHALIBUT=${HALIBUT} "-DSORGENTI=${MANUALE};${LAVORO}/abilita.but"
            -DHLP=${LAVORO}/out/Vorandel.hlp -DHTML=${LAVORO}/out/html -DIMMAGINI=${LAVORO}/abilita.png -P ${GENERA}
    RESULT_VARIABLE esito
    OUTPUT_VARIABLE uscita
    ERROR_VARIABLE errori)
if(NOT esito EQUAL 0)
    message(FATAL_ERROR "the manual with the new appendix was refused:\n${uscita}${errori}")
endif()
file(GLOB pagine "${LAVORO}/out/html/*.html")
set(trovata FALSE)
foreach(pagina IN LISTS pagine)
    file(READ "${pagina}" testo)
    if(testo MATCHES "<img src=\"abilita.png\"")
        set(trovata TRUE)
    endif()
endforeach()
if(NOT trovata OR NOT EXISTS "${LAVORO}/out/html/abilita.png")
    message(FATAL_ERROR "the HTML pages do not show the chart")
endif()
message(STATUS "tabella-abilita reads the match runner and writes a clean appendix.")
