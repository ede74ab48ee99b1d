# The same build for 64-bit Windows: the program shops run is the 32-bit one (mingw-i686.cmake);
# this one exists so that the tests run under wine64 on machines that cannot run 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(prefisso x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${prefisso}-gcc-posix)
set(CMAKE_CXX_COMPILER ${prefisso}-g++-posix)
set(CMAKE_RC_COMPILER ${prefisso}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${prefisso})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# ctest and test discovery run the programs through the 64-bit wine loader directly: the
# "wine" wrapper would pick a 32-bit loader where one is installed.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
