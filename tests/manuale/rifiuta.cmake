# The manual's generator (docs/manuale/genera.cmake) on small sources:
# - a source with errors, one that halibut only warns about, and one with a
#   code line too wide for a page are all refused, with halibut's message
#   naming the file and the line, and the previous manual is left in place;
# - a clean source gives a help file, its contents file and HTML pages, in
#   which a picture paragraph becomes the picture with its caption, a
#   picture that is missing leaves its caption alone, and other links stay.
#   cmake -DHALIBUT=halibut -DGENERA=genera.cmake -DPROVE=<this folder>
#         -DIMMAGINE=some.png -DLAVORO=<scratch folder> -P rifiuta.cmake
cmake_minimum_required(VERSION 3.20)

set(fallimenti "")
macro(fallisci messaggio)
    string(APPEND fallimenti "\n  ${messaggio}")
endmacro()
foreach(v HALIBUT GENERA PROVE IMMAGINE LAVORO)
    if(NOT DEFINED ${v})
        message(FATAL_ERROR "rifiuta.cmake: ${v} is not set")
    endif()
endforeach()
get_filename_component(PROVE "${PROVE}" ABSOLUTE)
get_filename_component(GENERA "${GENERA}" ABSOLUTE)
get_filename_component(LAVORO "${LAVORO}" ABSOLUTE)

file(REMOVE_RECURSE "${LAVORO}")
file(MAKE_DIRECTORY "${LAVORO}")
file(COPY_FILE "${IMMAGINE}" "${LAVORO}/figura.png")

function(genera sorgente esito_var messaggi_var)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DHALIBUT=${HALIBUT} -DSORGENTI=${PROVE}/${sorgente}
                -DHLP=${LAVORO}/out/Vorandel.hlp -DHTML=${LAVORO}/out/html
                "-DIMMAGINI=${LAVORO}/figura.png;${LAVORO}/manca.png"
                -P ${GENERA}
        RESULT_VARIABLE esito
        OUTPUT_VARIABLE uscita
        ERROR_VARIABLE errori)
    set(${esito_var} "${esito}" PARENT_SCOPE)
    set(${messaggi_var} "${uscita}${errori}" PARENT_SCOPE)
endfunction()

# A previous manual, which the refused sources must leave alone.
file(MAKE_DIRECTORY "${LAVORO}/out/html")
file(WRITE "${LAVORO}/out/Vorandel.hlp" "previous help file")
file(WRITE "${LAVORO}/out/html/index.html" "previous pages")

foreach(caso "guasto.but;guasto.but:5" "avviso.but;warning" "largo.but;wider than body width")
    list(GET caso 0 sorgente)
    list(GET caso 1 atteso)
    genera(${sorgente} esito messaggi)
    if(NOT (NOT esito EQUAL 0))
        fallisci("${sorgente} was accepted (exit ${esito})")
    endif()
    string(FIND "${messaggi}" "${atteso}" dove)
    if(NOT (dove GREATER -1))
        fallisci("refusing ${sorgente}, the message does not say \"${atteso}\":\n${messaggi}")
    endif()
    file(READ "${LAVORO}/out/Vorandel.hlp" hlp)
    file(READ "${LAVORO}/out/html/index.html" pagina)
    if(NOT (hlp STREQUAL "previous help file"))
        fallisci("refusing ${sorgente} changed the previous help file")
    endif()
    if(NOT (pagina STREQUAL "previous pages"))
        fallisci("refusing ${sorgente} changed the previous pages")
    endif()
    if(NOT (NOT EXISTS "${LAVORO}/out/html.nuovo"))
        fallisci("refusing ${sorgente} left its scratch folder behind")
    endif()
endforeach()

genera(pulito.but esito messaggi)
if(NOT (esito EQUAL 0))
    fallisci("the clean source was refused:\n${messaggi}")
endif()
string(FIND "${messaggi}" "manca.png is missing" dove)
if(NOT (dove GREATER -1))
    fallisci("the missing picture was not reported:\n${messaggi}")
endif()

# The help file: WinHelp's magic number, and the contents file beside it.
file(READ "${LAVORO}/out/Vorandel.hlp" testa LIMIT 4 HEX)
if(NOT (testa STREQUAL "3f5f0300"))
    fallisci("Vorandel.hlp does not start like a help file (${testa})")
endif()
if(NOT (EXISTS "${LAVORO}/out/Vorandel.cnt"))
    fallisci("no contents file Vorandel.cnt beside the help file")
endif()
if(EXISTS "${LAVORO}/out/Vorandel.cnt")
    file(READ "${LAVORO}/out/Vorandel.cnt" cnt)
    if(NOT (cnt MATCHES ":Title A clean manual"))
        fallisci("Vorandel.cnt does not carry the manual's title:\n${cnt}")
    endif()
endif()

# The pages.
file(GLOB pagine "${LAVORO}/out/html/*.html")
set(tutto "")
foreach(p IN LISTS pagine)
    file(READ "${p}" t)
    string(APPEND tutto "${t}")
endforeach()
if(NOT (EXISTS "${LAVORO}/out/html/index.html"))
    fallisci("no index.html among the pages")
endif()
string(FIND "${tutto}" "<p class=\"figura\"><img src=\"figura.png\" alt=\"A picture that is there.\"><br>\nA picture that is there.\n</p>" dove)
if(NOT (dove GREATER -1))
    fallisci("the picture paragraph did not become a picture:\n${tutto}")
endif()
if(NOT (EXISTS "${LAVORO}/out/html/figura.png"))
    fallisci("the picture was not copied beside the pages")
endif()
string(FIND "${tutto}" "<p class=\"figura\">\nA picture that is missing.\n</p>" dove)
if(NOT (dove GREATER -1))
    fallisci("the missing picture's caption is not there alone:\n${tutto}")
endif()
string(FIND "${tutto}" "manca.png" dove)
if(NOT (dove EQUAL -1))
    fallisci("the pages still point at the missing picture")
endif()
string(FIND "${tutto}" "<a href=\"https://example.org/\">outside world</a>" dove)
if(NOT (dove GREATER -1))
    fallisci("an ordinary link did not stay a link")
endif()
if(NOT (NOT EXISTS "${LAVORO}/out/html.nuovo"))
    fallisci("the scratch folder was left behind")
endif()

if(fallimenti)
    message(FATAL_ERROR "The manual's generator:${fallimenti}")
endif()
message(STATUS "The manual's generator refuses bad sources and makes good ones.")
