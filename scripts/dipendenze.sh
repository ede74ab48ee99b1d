#!/usr/bin/env bash
# Installs the Debian packages the build needs, when some are missing.
set -euo pipefail

# --windows adds what the Windows build and its tests need: mingw-w64 for both Windows presets,
# GoogleTest's sources to build it for Windows, wine64 and an X server for the tests, nsis for
# the installer, osslsigncode and openssl to sign it, xdotool to go through its pages; then
# scripts/abilita32.sh makes the machine run the shipped 32-bit programs (wine32, and emulation
# where the kernel runs no 32-bit code).
windows=(mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest wine64 xvfb xauth
  file nsis osslsigncode openssl xdotool)
# exfat-fuse and exfatprogs: the real program's tests run once more on an exFAT disk.
pacchetti=(cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev exfat-fuse exfatprogs)
trentadue_bit=false
for argomento in "$@"; do
  if [ "$argomento" = --windows ]; then
    pacchetti+=("${windows[@]}")
    trentadue_bit=true
  else
    pacchetti+=("$argomento")
  fi
done
mancanti=()
for p in "${pacchetti[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || mancanti+=("$p")
done
if [ ${#mancanti[@]} -gt 0 ]; then
  echo "Installing: ${mancanti[*]}"
  sudo_=""
  [ "$(id -u)" -ne 0 ] && sudo_="sudo"
  $sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${mancanti[@]}"
fi
if $trentadue_bit; then bash "$(dirname "$0")/abilita32.sh"; fi
