# Configures the native preset with the Ninja generator in CARTELLA, checks
# the whole build graph with a dry run and builds the core library.
#   cmake -DSORGENTI=... -DCARTELLA=... -DNINJA=... -P ninja.cmake
function(esegui cosa)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${SORGENTI} RESULT_VARIABLE esito OUTPUT_VARIABLE uscita
                    ERROR_VARIABLE uscita)
    if(NOT esito EQUAL 0)
        message(FATAL_ERROR "${cosa} failed (${esito}):\n${uscita}")
    endif()
    message(STATUS "${cosa}: done")
endfunction()

esegui("configuring the native preset with Ninja"
       ${CMAKE_COMMAND} --preset native -G Ninja -B ${CARTELLA} -DCMAKE_MAKE_PROGRAM=${NINJA})
esegui("the whole graph, dry run" ${CMAKE_COMMAND} --build ${CARTELLA} -- -n)
esegui("building the core library" ${CMAKE_COMMAND} --build ${CARTELLA} --target nucleo -j 2)
