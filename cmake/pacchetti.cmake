# The Windows packages of the game, made from the cross build by
#     cmake --build build/win32 --target package
# in the build folder:
#   Vorandel32-<version>-win32.zip   one folder, Vorandel32-<version>, with
#                                    everything the game needs: it runs from
#                                    wherever it is unpacked
#   Vorandel32-<version>-setup.exe   an NSIS installer (makensis, Debian's
#                                    package nsis) of the same files, with a
#                                    Start-menu shortcut, an entry in the list
#                                    of installed programs and an uninstaller
# Both hold only the component `gioco`, the files installed below: never a
# test program or a build tool.
if(NOT WIN32)
    return()
endif()

# The game ships without its symbols (the build's own copy keeps them): the
# packages strip it as CPack strips the programs it installs, also where the
# game is a program made by the game's own build (cmake/gioco-xp.cmake).
# strip writes the current time into the exe's header unless
# SOURCE_DATE_EPOCH is set: it writes the release's time.
install(PROGRAMS $<TARGET_FILE:vorandel32> DESTINATION . COMPONENT gioco)
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_COMMAND}\" -E env SOURCE_DATE_EPOCH=${VORANDEL_EPOCA}
                            \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/vorandel32.exe\"
                    COMMAND_ERROR_IS_FATAL ANY)
endif()" COMPONENT gioco)

# What the game reads beside itself: the sprite sheet from the current folder
# and the help file with its contents file; the same manual as HTML pages in
# a folder of their own; and a short readme with Windows line endings.
install(FILES ${VORANDEL_FOGLIO_DIB} ${VORANDEL_GIOCO_DIR}/Vorandel.hlp ${VORANDEL_GIOCO_DIR}/Vorandel.cnt
        DESTINATION . COMPONENT gioco)
install(DIRECTORY ${CMAKE_BINARY_DIR}/manuale/html/ DESTINATION manuale COMPONENT gioco)
configure_file(${CMAKE_SOURCE_DIR}/docs/LEGGIMI.txt.in ${CMAKE_BINARY_DIR}/LEGGIMI.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/LEGGIMI.txt DESTINATION . COMPONENT gioco)

# Last: every installed file and folder gets the release's time, so that the
# zip holds the same times (and so the same bytes) whenever it is made.
install(CODE "execute_process(COMMAND find \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\"
                                      -exec touch -h -d @${VORANDEL_EPOCA} {} +
                              COMMAND_ERROR_IS_FATAL ANY)" COMPONENT gioco)

find_program(VORANDEL_MAKENSIS makensis)
if(NOT VORANDEL_MAKENSIS)
    message(WARNING "makensis was not found: the target package cannot make the installer. "
                    "Install Debian's package nsis (scripts/dipendenze does).")
endif()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${VORANDEL_EDITORE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vorandel 32, a race game for two players")
# Only the game's component goes in, whatever else may be installed.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};gioco;/")
# The game ships without its symbols (see its install above).
set(CPACK_STRIP_FILES ON)
# The zip's one folder is named after the package; the file adds "-win32".
# The installer's name is set in pacchetti-generatore.cmake, which CPack
# reads for each kind of package.
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/pacchetti-generatore.cmake)

# The installer, from the script template in cmake/nsis. Program Files
# (the 32-bit one on 64-bit Windows), "Vorandel 32" as folder, shortcut and
# entry name.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/nsis)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Vorandel 32")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Vorandel 32")
set(CPACK_NSIS_PACKAGE_NAME "Vorandel 32")
set(CPACK_NSIS_DISPLAY_NAME "Vorandel 32")
set(CPACK_NSIS_INSTALLED_ICON_NAME vorandel32.exe)
set(CPACK_NSIS_MUI_ICON ${VORANDEL_ICONA_DIR}/vorandel.ico)
set(CPACK_NSIS_MUI_UNIICON ${VORANDEL_ICONA_DIR}/vorandel.ico)
set(CPACK_NSIS_UNINSTALL_NAME Uninstall)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# The installer's own version resource wants four numbers.
string(REPLACE ";" "." CPACK_VORANDEL_VERSIONE_4 "${VORANDEL_VERSIONE_4}")

# Before each kind of package is packed (cmake/pacchetti-elenco.cmake): the
# files' and folders' modes set, whatever the builder's umask, and for the
# installer the list of its files, which each install records. The files of
# 1.95, the release before installs recorded theirs, are a fixed list in
# cmake/nsis: an install of 1.95 whose uninstaller is gone is removed by it.
set(CPACK_VORANDEL_ELENCO ${CMAKE_BINARY_DIR}/_CPack_Packages/elenco-installati.nsh)
set(CPACK_VORANDEL_ELENCO_195 ${CMAKE_CURRENT_LIST_DIR}/nsis/elenco-1.95.nsh)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/pacchetti-elenco.cmake)

# After each kind of package (cmake/pacchetti-finiti.cmake): the zip made
# again with its files in a fixed order and only their own times, and
# SHA256SUMS beside the packages, in the form `sha256sum -c` reads.
set(CPACK_VORANDEL_PACCHETTI ${PROJECT_NAME}-${PROJECT_VERSION}-win32.zip ${PROJECT_NAME}-${PROJECT_VERSION}-setup.exe)
set(CPACK_VORANDEL_CARTELLA ${CMAKE_BINARY_DIR})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/pacchetti-finiti.cmake)

include(CPack)
