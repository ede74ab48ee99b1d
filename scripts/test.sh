#!/usr/bin/env bash
# Builds BorvanIF and runs every test: the core's unit tests, the Qt tests (offscreen) and the
# end-to-end tests of the real program; then the Windows program, 32-bit and 64-bit, and the
# 64-bit build's tests under wine64 (the build machines cannot run 32-bit code).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dipendenze.sh --windows
cmake --preset default >/dev/null
cmake --build --preset default
QT_QPA_PLATFORM=offscreen ctest --preset default -j2

cmake --preset windows >/dev/null
cmake --build --preset windows
bash scripts/controlla_exe.sh build/windows/src/win32/BorvanIF.exe
bash scripts/controlla_exe.sh build/windows/src/ecrsim/ECRSIM.DLL
cmake --preset windows64 >/dev/null
cmake --build --preset windows64
# One X server and one wine server for the whole run: a program then starts in a fraction of a
# second instead of several.
xvfb-run -a bash -c 'source scripts/wine.sh && ctest --preset windows64 -j2'
