# The game's own cross build: mingw-w64 for i686 with Windows' thread model
# (the -win32 compilers), which links no POSIX threads library, so that the
# exe imports nothing newer than Windows XP. The game makes its threads with
# CreateThread and needs no std::thread; GoogleTest does, so the tests are
# built with cmake/mingw-i686.cmake. Everything else is shared with it.
set(VORANDEL_FILI win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
