# The same build for 64-bit Windows: the program shops run is the 32-bit one (mingw-i686.cmake);
# this one exists for the tests, which run under wine64 at full speed, one process a test, where
# the 32-bit programs may need emulation.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(prefisso x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# ctest and test discovery run the programs through the 64-bit wine loader directly: the
# "wine" wrapper would pick a 32-bit loader where one is installed.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
