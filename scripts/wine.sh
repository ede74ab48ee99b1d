#!/usr/bin/env bash
# Prepares the wine prefix in which the Windows build's tests run (build/wine64) and keeps its
# server running, so that each test starts in milliseconds instead of seconds. Source it: it
# exports what the windows64 test preset also sets.
#   source scripts/wine.sh
#
# The tests run the 64-bit build under wine64: the kernel of the build machines has 32-bit
# emulation switched off, so no 32-bit program (wine32 included) can start there. The 32-bit
# BorvanIF.exe that shops run is built from the same sources by the windows preset.
radice_wine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$radice_wine/build/wine64" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs .NET or a browser.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader and server directly: the wrappers prefer 32-bit ones where installed.
export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
wine64_() { "$WINELOADER" "$@"; }
if [ ! -f "$WINEPREFIX/.pronto" ]; then
  mkdir -p "$WINEPREFIX"
  wine64_ wineboot -i >/dev/null 2>&1 || true
  # Windows in the X server's hands (there is no window manager under Xvfb); no crash dialog.
  wine64_ reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine64_ reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  touch "$WINEPREFIX/.pronto"
fi
# A server that already runs answers non-zero here: it is the one wanted.
"$WINESERVER" -p 2>/dev/null || true
# The prefix's own services start with the first program and live as long as the server: started
# here, they do not hold a test's output open (ctest would wait for it until its time-out).
wine64_ wineboot </dev/null >/dev/null 2>&1 || true
