# Cross build of the 64-bit Windows program with MinGW-w64 on Linux; tests run under 64-bit Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(LUMVORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(LUMVORA_WINE_LOADER /usr/lib/wine/wine64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
