#!/usr/bin/env bash
# Installs the Debian packages the build needs, when some are missing.
set -euo pipefail

# --windows adds what the Windows build and its tests need: mingw-w64 for both Windows presets,
# GoogleTest's sources to build it for Windows, wine64 and an X server for the tests, nsis for
# the installer, osslsigncode and openssl to sign it, xdotool to go through its pages. No i386
# architecture and no wine32: the tests run the 64-bit build.
windows=(mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest wine64 xvfb xauth
  file nsis osslsigncode openssl xdotool)
pacchetti=(cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev)
for argomento in "$@"; do
  if [ "$argomento" = --windows ]; then pacchetti+=("${windows[@]}"); else pacchetti+=("$argomento"); fi
done
mancanti=()
for p in "${pacchetti[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || mancanti+=("$p")
done
[ ${#mancanti[@]} -eq 0 ] && exit 0

echo "Installing: ${mancanti[*]}"
sudo_=""
[ "$(id -u)" -ne 0 ] && sudo_="sudo"
$sudo_ apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${mancanti[@]}"
