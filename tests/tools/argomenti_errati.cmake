# Runs the match runner with each of a list of bad arguments and checks that
# every run is refused with exit code 2, a message naming the trouble on
# standard error and no table on standard output.
# cmake -DPARTITE=<runner> -DVERSIONE=<version> -P argomenti_errati.cmake
set(casi
    "--skill1|11|takes a whole number"
    "--games|0|takes a whole number"
    "--jobs|x|takes a whole number"
    "--bogus|unknown option"
    "--games|missing value"
    "--round-robin|3|at least two skills"
    "--round-robin|1-11|--round-robin takes skills"
    "--round-robin|5-2|a range goes upwards"
    "--round-robin|1,2,2|twice"
    "--round-robin|1-3|--skill1|4|cannot go with --skill1"
    "--round-robin|1-3|--sprt|0|5|cannot go with --sprt"
    "--sprt|5|0|ELO0 below ELO1"
    "--sprt|0|0|ELO0 below ELO1"
    "--sprt|0|x|two Elo differences"
    "--sprt|0|5|0.05|ALPHA and BETA together"
    "--sprt|0|5|0.6|0.5|ALPHA + BETA below 1"
    "--sprt|0|5|--tally|cannot go with --tally"
    "--each-game|goes with --tally"
    "--shard|1/3|--record|x.txt|--sprt|0|5|--shard cannot go with --sprt"
    "--shard|1/3|--shard needs --record"
    "--shard|4/3|--record|x.txt|--shard takes K/N"
    "--shard|0/3|--record|x.txt|--shard takes K/N"
    "--shard|+1/3|--record|x.txt|--shard takes K/N"
    "--shard|01/03|--record|x.txt|--shard takes K/N"
    "--games|+5|takes a whole number"
    "--games|05|takes a whole number"
    "--seed| 7|takes a whole number"
    "--first|0x10|takes a whole number"
    "--round-robin|01-3|--round-robin takes skills"
    "--match|2-03|--replay|x.txt|--game|1|--match takes the two skills"
    "--sprt|0| 5|two Elo differences"
    "--sprt|0|0x10|two Elo differences"
    "--pairs|--games|7|whole pairs"
    "--pairs|--first|2|--games|4|whole pairs"
    "--record|missing file name"
    "--record|x.txt|--tally|cannot go with --tally"
    "--replay|x.txt|--skill1|3|cannot go with --skill1"
    "--replay|x.txt|--merge|y.txt|cannot go together"
    "--merge|--record|x.txt|takes the game files"
    "--game|3|go with --replay"
    "--replay|x.txt|--match|2-3|--match names the match"
    "--replay|x.txt|--game|1|--match|2|--match takes the two skills"
    "--replay|no-such-file.txt|cannot be read")
foreach(caso IN LISTS casi)
    string(REPLACE "|" ";" parti "${caso}")
    list(POP_BACK parti atteso)
    execute_process(COMMAND ${PARTITE} --jobs 1 --quiet ${parti}
                    OUTPUT_VARIABLE uscita ERROR_VARIABLE errori RESULT_VARIABLE esito)
    if(NOT esito EQUAL 2)
        message(FATAL_ERROR "partite ${parti} ended with ${esito}, not 2:\n${uscita}${errori}")
    endif()
    string(FIND "${errori}" "${atteso}" dove)
    if(dove EQUAL -1)
        message(FATAL_ERROR "partite ${parti}: no \"${atteso}\" in the message:\n${errori}")
    endif()
    if(NOT uscita STREQUAL "")
        message(FATAL_ERROR "partite ${parti} printed a table:\n${uscita}")
    endif()
endforeach()

# --help (or -h) prints the usage on standard output and succeeds, whatever
# else the line holds; --version prints the version.
foreach(aiuto "--help" "-h" "--skill1;11;--help")
    execute_process(COMMAND ${PARTITE} ${aiuto} OUTPUT_VARIABLE uscita ERROR_VARIABLE errori RESULT_VARIABLE esito)
    if(NOT esito EQUAL 0 OR NOT errori STREQUAL "" OR NOT uscita MATCHES "^usage: partite .*--record .*--version")
        message(FATAL_ERROR "partite ${aiuto} ended with ${esito}:\n${uscita}${errori}")
    endif()
endforeach()
execute_process(COMMAND ${PARTITE} --version OUTPUT_VARIABLE uscita ERROR_VARIABLE errori RESULT_VARIABLE esito)
if(NOT esito EQUAL 0 OR NOT uscita STREQUAL "partite ${VERSIONE}\n")
    message(FATAL_ERROR "partite --version ended with ${esito}, printing \"${uscita}\" (not version ${VERSIONE}):\n${errori}")
endif()
