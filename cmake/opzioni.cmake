# The language standard and the warnings of every program of the game, set
# here once. The interface target vorandel_opzioni carries them: the
# top-level CMakeLists.txt links it into every target defined after it
# (link_libraries), and the fuzzer's own build does the same. What is
# compiled by hand, outside the build's compiler (the painters for the build
# machine in the cross build, cmake/dipinto.cmake), takes the same figures
# from the two variables.
set(VORANDEL_STANDARD_CXX 17)
set(VORANDEL_AVVISI -Wall -Wextra -Werror)

# The standard exactly, without the compilers' extensions.
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT TARGET vorandel_opzioni)
    add_library(vorandel_opzioni INTERFACE)
    target_compile_features(vorandel_opzioni INTERFACE cxx_std_${VORANDEL_STANDARD_CXX})
    target_compile_options(vorandel_opzioni INTERFACE $<$<COMPILE_LANGUAGE:C,CXX>:${VORANDEL_AVVISI}>)
endif()
