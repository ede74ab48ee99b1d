#!/usr/bin/env bash
# Builds BorvanIF and runs every test: the core's unit tests, the Qt tests (offscreen) and the
# end-to-end tests of the real program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dipendenze.sh
cmake --preset default >/dev/null
cmake --build --preset default
QT_QPA_PLATFORM=offscreen ctest --preset default -j2
