#!/usr/bin/env bash
# Prepares the wine prefix in which the Windows tests run (build/wine64) and keeps its server
# running, so that each test starts in milliseconds instead of seconds. Source it: it exports
# what the windows and windows64 test presets also set.
#   source scripts/wine.sh
#
# One 64-bit prefix for both builds: the windows64 build's tests run under wine64; the shipped
# 32-bit files (the windows preset's suite) run on its 32-bit side, wine32, as 32-bit programs
# run on 64-bit Windows. scripts/abilita32.sh sets up wine32, and emulation where the kernel
# runs no 32-bit code.
radice_wine=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="$radice_wine/build/wine64" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs .NET or a browser.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit loader and server directly: the wrappers prefer 32-bit ones where installed. The
# 64-bit loader hands a 32-bit program to the 32-bit one.
export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
wine64_() { "$WINELOADER" "$@"; }
# A prefix made before wine32 was installed lacks its 32-bit side: it is brought up to date.
lato32="$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll"
if [ ! -f "$WINEPREFIX/.pronto" ] || { [ -x /usr/lib/wine/wine ] && [ ! -f "$lato32" ]; }; then
  mkdir -p "$WINEPREFIX"
  wine64_ wineboot -u >/dev/null 2>&1 || true
  # Windows in the X server's hands (there is no window manager under Xvfb); no crash dialog.
  wine64_ reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine64_ reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  touch "$WINEPREFIX/.pronto"
fi
# A server that already runs answers non-zero here: it is the one wanted. On a display, a new
# one boots the prefix's services and desktop now, with no output: started by a test, they
# would keep its output open, and ctest would wait for them to end. (Booted with no display,
# the desktop would have none for the windows of later programs.)
if "$WINESERVER" -p 2>/dev/null && [ -n "${DISPLAY:-}" ]; then
  wine64_ cmd /c exit </dev/null >/dev/null 2>&1 || true
fi
