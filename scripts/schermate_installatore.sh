#!/usr/bin/env bash
# Takes the pictures of the installer's and the uninstaller's pages, going through them as their
# interactive test does, under wine on a virtual X server: docs/img/installa_*.png and
# docs/img/disinstalla_*.png. Builds the windows64 preset's installer; needs wine64, xvfb,
# xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows64 >/dev/null
cmake --build --preset windows64 --target installatore borvan_finestre

lavoro=$(mktemp -d)
trap 'rm -rf "$lavoro"' EXIT
bash tests/installatore/prova_pagine.sh build/windows64/BorvanIF-Setup.exe \
  build/windows64/tests/installatore/borvan_finestre.exe "$lavoro/prova" win64 "$lavoro/schermate"
mkdir -p docs/img
for immagine in "$lavoro"/schermate/*.bmp; do
  # Without the date chunks: the same pages give the same files.
  convert "$immagine" -strip "docs/img/$(basename "$immagine" .bmp).png"
done
ls docs/img/installa_*.png docs/img/disinstalla_*.png
