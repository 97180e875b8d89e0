# The game that ships, vorandel32.exe, made by a build of its own inside the
# cross build: the game's sources only (BUILD_TESTING off), compiled with the
# -win32 compilers of cmake/mingw-i686-xp.cmake. The cross build's -posix
# compilers link the POSIX threads library, which imports functions Windows
# XP lacks (GetTickCount64); the game makes its threads with CreateThread and
# needs none of it. The tests keep their -posix build of the same libraries.
#
# The game's build lives in the folder gioco-xp of this build; its exe is
# copied (when it changed) to where the tests, the scripts and the packages
# find the game: this build's ui folder, beside the sprite sheet and the
# manual. Here `vorandel32` is that file, as an imported program, so that
# $<TARGET_FILE:vorandel32> and dependencies on it work as for a program
# built here; the target that builds it is `gioco`
# (cmake --build build/win32 --target gioco). The game's build is brought up
# to date with every build (a second when nothing changed).
include(ExternalProject)
set(VORANDEL_GIOCO_XP_DIR ${CMAKE_BINARY_DIR}/gioco-xp)
# Under make, $(MAKE) lets the game's build share this build's parallel jobs.
if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(comando_gioco $(MAKE) vorandel32)
else()
    set(comando_gioco ${CMAKE_COMMAND} --build <BINARY_DIR> --target vorandel32)
endif()
ExternalProject_Add(gioco
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${VORANDEL_GIOCO_XP_DIR}
    PREFIX ${VORANDEL_GIOCO_XP_DIR}/passi
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686-xp.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DBUILD_TESTING=OFF
    BUILD_COMMAND ${comando_gioco}
    INSTALL_COMMAND ${CMAKE_COMMAND} -E copy_if_different <BINARY_DIR>/ui/vorandel32.exe
                    ${VORANDEL_GIOCO_DIR}/vorandel32.exe
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${VORANDEL_GIOCO_DIR}/vorandel32.exe)

add_executable(vorandel32 IMPORTED GLOBAL)
set_target_properties(vorandel32 PROPERTIES IMPORTED_LOCATION ${VORANDEL_GIOCO_DIR}/vorandel32.exe)
add_dependencies(vorandel32 gioco foglio_dib manuale)
