#!/usr/bin/env bash
# Takes the documentation's pictures of the windows: docs/img/principale.png (the main window
# during a job), docs/img/errore.png (the error dialog) and docs/img/config.png (the
# configuration dialog), drawn by a virtual X server. Installs xvfb and xauth when missing.
# BORVAN_BUILD_DIR builds in another folder than the default preset's.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dipendenze.sh xvfb xauth fonts-liberation
if [ -n "${BORVAN_BUILD_DIR:-}" ]; then
  build=$BORVAN_BUILD_DIR
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
else
  build=build/default
  cmake --preset default >/dev/null
fi
cmake --build "$build" --target borvan_schermate

mkdir -p docs/img
# The X server's platform, not the offscreen one a test run may have asked for.
env -u QT_QPA_PLATFORM xvfb-run -a "$build/bench/borvan_schermate" docs/img
