# Cross build for 32-bit Windows with mingw-w64. The compilers' thread model
# is POSIX threads, so that std::thread and GoogleTest build; the game itself
# is linked by a build of its own with Windows' threads
# (cmake/mingw-i686-xp.cmake, which sets VORANDEL_FILI to win32 and includes
# this file), since the POSIX threads library imports functions that Windows
# XP lacks.
if(NOT VORANDEL_FILI)
    set(VORANDEL_FILI posix)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${VORANDEL_FILI})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${VORANDEL_FILI})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 arithmetic for everything the cross build compiles. The computer's
# scores are sums of doubles: with SSE2 every operation is rounded to double
# as written, so the computer decides exactly as it does in the native
# (x86-64) build, whatever the optimiser keeps in registers. The game
# therefore needs an SSE2 processor, as every x86 of the last twenty years is.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
