# Cross-build for 32-bit Windows: BorvanIF.exe as shops run it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(prefisso i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# ctest runs the 32-bit programs in the tests' 64-bit wine prefix, through its 32-bit side
# (wine32, installed by scripts/dipendenze.sh --windows): the 64-bit loader hands them over.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
