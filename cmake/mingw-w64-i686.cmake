# Cross build of the 32-bit Windows program with MinGW-w64 on Linux; tests run under 32-bit Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(LUMVORA_MINGW_TRIPLET i686-w64-mingw32)
# Debian's `wine` wrapper is not used: it picks the 32-bit loader whenever one is installed, even where the
# kernel cannot run it. Each flavour names its own loader.
set(LUMVORA_WINE_LOADER /usr/lib/wine/wine)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
