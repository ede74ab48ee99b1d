#!/usr/bin/env bash
# Builds BorvanIF and runs every test: the core's unit tests, the Qt tests (offscreen) and the
# end-to-end tests of the real program; the Windows installer, built and tested under wine64.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dipendenze.sh
cmake --preset default >/dev/null
cmake --build --preset default
QT_QPA_PLATFORM=offscreen ctest --preset default -j2

# The Windows installer: built for 32-bit Windows as shops get it, and tested as the 64-bit build
# under wine64, since the build machines run no 32-bit program.
bash scripts/dipendenze.sh g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest \
  wine64 xvfb xauth
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
cmake --preset windows64 >/dev/null
cmake --build --preset windows64 -j2
ctest --preset windows64 -L installatore
