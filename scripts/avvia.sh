#!/usr/bin/env bash
# Builds BorvanIF and starts it on the simulated register in the folder demo/, its application
# directory, with a sample receipt waiting. The terminal follows the log and the paper roll;
# every command file dropped into demo/ (as Scontr.ECR) is printed the same way. Ctrl+C ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
radice=$PWD

bash scripts/dipendenze.sh fonts-liberation
cmake --preset default >/dev/null
cmake --build --preset default --target BorvanIF

demo="$radice/demo"
mkdir -p "$demo"
cp build/default/src/qt/BorvanIF "$demo/"
touch "$demo/BorvanIF.LOG" "$demo/ECRSIM.TXT"
[ -f "$demo/Scontr.ECR" ] || cp docs/esempio/Scontr.ECR "$demo/Scontr.ECR"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
  echo "No display: BorvanIF runs offscreen."
fi
echo "BorvanIF runs in $demo; drop a command file there as Scontr.ECR to print it."
echo "Log (BorvanIF.LOG) and paper roll (ECRSIM.TXT) follow:"

tail -n 0 -F "$demo/BorvanIF.LOG" "$demo/ECRSIM.TXT" &
coda=$!
trap 'kill $coda 2>/dev/null' EXIT
"$demo/BorvanIF"
