# Cross-build for 32-bit Windows: BorvanIF.exe as shops run it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(prefisso i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# A machine that runs 32-bit programs runs these through wine; this one cannot (its kernel has
# 32-bit emulation off), so its tests run the same sources built by mingw-x86_64.cmake.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
