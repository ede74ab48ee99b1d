# What both Windows cross-builds share: Debian's mingw-w64 with posix threads for the target
# `prefisso` (set by the including toolchain file), linked statically so that the programs need
# no DLL that Windows lacks.
set(CMAKE_SYSTEM_NAME Windows)

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
