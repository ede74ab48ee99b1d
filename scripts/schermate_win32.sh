#!/usr/bin/env bash
# Takes the pictures of the Win32 windows under wine on a virtual X server:
# docs/img/principale_win32.png, docs/img/config_win32.png and docs/img/errore_win32.png.
# Builds the windows64 preset's screenshot tool; needs wine64, xvfb and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows64 >/dev/null
cmake --build --preset windows64 --target borvan_schermate_win32
# (it answers non-zero when the wine server is already running)
source scripts/wine.sh || true

cartella=$(mktemp -d)
trap 'rm -rf "$cartella"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" \
  "$WINELOADER" build/windows64/bench/borvan_schermate_win32.exe "$(winepath -w "$cartella" 2>/dev/null || echo "Z:${cartella//\//\\}")"
mkdir -p docs/img
for nome in principale_win32 config_win32 errore_win32; do
  # Without the date chunks: the same windows give the same files.
  convert "$cartella/$nome.bmp" -strip "docs/img/$nome.png"
done
