#!/usr/bin/env bash
# Installs the Debian packages the build needs, when some are missing.
set -euo pipefail

# nsis: the Windows installer, BorvanIF-Setup.exe.
pacchetti=(cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev nsis "$@")
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
