# Makes the manual from its halibut sources: the help file that the game
# opens ("Vorandel.hlp", with its contents file "Vorandel.cnt") and the same
# pages as HTML, with the pictures that the pages show.
#
#   cmake -DHALIBUT=halibut -DSORGENTI="a.but;b.but" -DHLP=out/Vorandel.hlp
#         -DHTML=out/html -DIMMAGINI="x.png;y.png" [-DVERSIONE=1.95]
#         [-DEPOCA_FILE=epoca.txt] -P genera.cmake
#
# halibut writes a time into the help file: the current one, or
# SOURCE_DATE_EPOCH when that is set. EPOCA_FILE names a file holding that
# number (the release's time), so that the same sources give the same bytes.
#
# The sources may name the game's version as \versione: VERSIONE, or when it
# is not given the project's version in the top CMakeLists.txt.
#
# halibut's errors and its warnings alike stop the build: a manual whose
# source is malformed is never shipped. The output is written only when the
# whole run succeeded, so a failed run leaves the previous manual in place.
#
# Pictures: halibut cannot put a picture on a page, so the source names each
# one with a link at the end of a paragraph of its own, optionally after a
# few words for the readers of the help file:
#     Picture in the HTML version of this manual: \W{name.png}{caption}
# The help file shows that paragraph as text; in the HTML pages the whole
# paragraph becomes the picture with its caption under it. A picture that is
# not among IMMAGINI is left out of the pages, with a warning, and its
# caption stays as text. The contents page is index.html.
cmake_minimum_required(VERSION 3.20)

foreach(v HALIBUT SORGENTI HLP HTML)
    if(NOT DEFINED ${v} OR "${${v}}" STREQUAL "")
        message(FATAL_ERROR "genera.cmake: ${v} is not set")
    endif()
endforeach()
foreach(s IN LISTS SORGENTI)
    if(NOT EXISTS "${s}")
        message(FATAL_ERROR "genera.cmake: the source ${s} does not exist")
    endif()
endforeach()

get_filename_component(nome_hlp "${HLP}" NAME)
get_filename_component(radice_hlp "${HLP}" NAME_WE)
get_filename_component(cartella_hlp "${HLP}" DIRECTORY)
if(NOT nome_hlp MATCHES "\\.hlp$")
    message(FATAL_ERROR "genera.cmake: the help file's name must end in .hlp, not ${nome_hlp}")
endif()

if(NOT DEFINED VERSIONE OR "${VERSIONE}" STREQUAL "")
    file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/../../CMakeLists.txt" progetto REGEX "^project\\(")
    if(NOT progetto MATCHES " VERSION ([0-9]+(\\.[0-9]+)*)")
        message(FATAL_ERROR "genera.cmake: no VERSIONE given, and no project version in the top CMakeLists.txt")
    endif()
    set(VERSIONE "${CMAKE_MATCH_1}")
endif()

if(DEFINED EPOCA_FILE AND NOT "${EPOCA_FILE}" STREQUAL "")
    file(STRINGS "${EPOCA_FILE}" epoca LIMIT_COUNT 1 REGEX "^[0-9]+$")
    if(NOT epoca)
        message(FATAL_ERROR "genera.cmake: ${EPOCA_FILE} holds no time")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} "${epoca}")
endif()

set(lavoro "${HTML}.nuovo")
file(REMOVE_RECURSE "${lavoro}")
file(MAKE_DIRECTORY "${lavoro}/html")
file(WRITE "${lavoro}/versione.but" "\\define{versione} ${VERSIONE}\n")

# The plain-text output is made too, only for its checks (it warns about
# code lines too wide for a page) and then dropped.
execute_process(
    COMMAND "${HALIBUT}" "--winhelp=${lavoro}/${nome_hlp}" --html "--text=${lavoro}/manuale.txt"
            -Chtml-contents-filename:index.html "${lavoro}/versione.but" ${SORGENTI}
    WORKING_DIRECTORY "${lavoro}/html"
    RESULT_VARIABLE esito
    OUTPUT_VARIABLE uscita
    ERROR_VARIABLE errori)
string(STRIP "${uscita}${errori}" detto)
if(NOT esito EQUAL 0 OR NOT detto STREQUAL "")
    file(REMOVE_RECURSE "${lavoro}")
    if(esito EQUAL 0)
        set(esito "0, but with warnings")
    endif()
    message(FATAL_ERROR "The manual's source is not clean (halibut exited ${esito}):\n${detto}")
endif()
foreach(f "${lavoro}/${nome_hlp}" "${lavoro}/${radice_hlp}.cnt" "${lavoro}/html/index.html")
    if(NOT EXISTS "${f}")
        file(REMOVE_RECURSE "${lavoro}")
        message(FATAL_ERROR "halibut did not write ${f}")
    endif()
endforeach()

# The pictures that may be shown, by file name.
set(disponibili "")
foreach(img IN LISTS IMMAGINI)
    get_filename_component(n "${img}" NAME)
    if(EXISTS "${img}")
        list(APPEND disponibili "${n}")
        set(percorso_${n} "${img}")
    endif()
endforeach()

set(figura "<p>\n[^<]*<a href=\"([A-Za-z0-9_.-]+\\.png)\">([^<\"]*)</a>\n</p>")
file(GLOB pagine "${lavoro}/html/*.html")
set(usate "")
foreach(pagina IN LISTS pagine)
    file(READ "${pagina}" testo)
    set(nuovo "")
    while(testo MATCHES "${figura}")
        set(img "${CMAKE_MATCH_1}")
        set(didascalia "${CMAKE_MATCH_2}")
        string(SUBSTRING "${didascalia}" 0 1 iniziale)
        string(SUBSTRING "${didascalia}" 1 -1 resto)
        string(TOUPPER "${iniziale}" iniziale)
        set(didascalia "${iniziale}${resto}")
        string(FIND "${testo}" "${CMAKE_MATCH_0}" pos)
        string(LENGTH "${CMAKE_MATCH_0}" lungo)
        string(SUBSTRING "${testo}" 0 ${pos} prima)
        math(EXPR dopo_pos "${pos} + ${lungo}")
        string(SUBSTRING "${testo}" ${dopo_pos} -1 testo)
        if(img IN_LIST disponibili)
            string(APPEND nuovo "${prima}<p class=\"figura\"><img src=\"${img}\" alt=\"${didascalia}\"><br>\n${didascalia}\n</p>")
            list(APPEND usate "${img}")
        else()
            message(WARNING "The picture ${img} is missing: its page shows the caption only.")
            string(APPEND nuovo "${prima}<p class=\"figura\">\n${didascalia}\n</p>")
        endif()
    endwhile()
    string(APPEND nuovo "${testo}")
    file(WRITE "${pagina}" "${nuovo}")
endforeach()
list(REMOVE_DUPLICATES usate)
foreach(img IN LISTS usate)
    file(COPY_FILE "${percorso_${img}}" "${lavoro}/html/${img}")
endforeach()

# Everything is ready: replace the previous manual.
file(REMOVE_RECURSE "${HTML}")
file(RENAME "${lavoro}/html" "${HTML}")
file(MAKE_DIRECTORY "${cartella_hlp}")
file(COPY_FILE "${lavoro}/${nome_hlp}" "${HLP}")
file(COPY_FILE "${lavoro}/${radice_hlp}.cnt" "${cartella_hlp}/${radice_hlp}.cnt")
file(REMOVE_RECURSE "${lavoro}")
