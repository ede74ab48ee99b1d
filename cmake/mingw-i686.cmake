# Cross-build for 32-bit Windows with Debian's mingw-w64 (posix threads), linked statically so
# that BorvanIF.exe needs no DLL that Windows lacks. Programs built here run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(prefisso i686-w64-mingw32)
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

# A machine that runs 32-bit programs runs these through wine; this one cannot (its kernel has
# 32-bit emulation off), so its tests run the same sources built by mingw-x86_64.cmake.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
