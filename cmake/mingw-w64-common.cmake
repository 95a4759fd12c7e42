# What both MinGW-w64 flavours share; the flavour's file sets LUMVORA_MINGW_TRIPLET and LUMVORA_WINE_LOADER.

# The posix thread flavour: GoogleTest needs std::mutex, which the win32 flavour of GCC 12 lacks.
set(CMAKE_C_COMPILER ${LUMVORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMVORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMVORA_MINGW_TRIPLET}-windres)
set(LUMVORA_OBJDUMP ${LUMVORA_MINGW_TRIPLET}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMVORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# A loader that cannot start is still named here: the tests that need it are not run on such a machine
# (scripts/test.sh tries the loader first), and the checks that only read the exe need no emulator.
set(CMAKE_CROSSCOMPILING_EMULATOR "${LUMVORA_WINE_LOADER}")
