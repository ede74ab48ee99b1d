#!/usr/bin/env bash
# Checks that BorvanIF.exe is what shops can run: a 32-bit Windows GUI program that imports
# only DLLs every Windows has (no C++ runtime, threads or toolkit DLL beside it), and of those
# only the known DLLs, which the loader never looks for in the program's folder, where every till
# user may write: any other is loaded once the program has confined the search to System32. The same for the 32-bit ECRSIM.DLL, which the
# 32-bit program loads. The program must not be marked
# NX-compatible: the mark would switch off the emulation of the thunks old ATL controls run
# from their data pages (the program turns DEP on itself, keeping the emulation).
#   bash scripts/controlla_exe.sh build/windows/src/win32/BorvanIF.exe
#   bash scripts/controlla_exe.sh build/windows/src/ecrsim/ECRSIM.DLL
set -euo pipefail
exe=${1:-build/windows/src/win32/BorvanIF.exe}

tipo=$(file -b "$exe")
case "$tipo" in
  "PE32 executable (GUI) Intel 80386"*) ;;
  "PE32 executable (DLL) "*"Intel 80386"*) [[ $exe == *.DLL ]] ||
    { echo "$exe: a DLL where a program was expected" >&2; exit 1; } ;;
  *) echo "$exe: not a 32-bit Windows GUI program or DLL: $tipo" >&2; exit 1 ;;
esac

intestazioni=$(i686-w64-mingw32-objdump -p "$exe")
if [[ $exe != *.DLL ]]; then
  if grep -qw NX_COMPAT <<<"$intestazioni"; then
    echo "$exe is marked NX-compatible: controls built with old ATL would stop" >&2
    exit 1
  fi
  if ! grep -qw SetProcessDEPPolicy <<<"$intestazioni"; then
    echo "$exe does not turn data execution prevention on" >&2
    exit 1
  fi
fi

di_sistema='^(kernel32|user32|gdi32|comdlg32|advapi32|shell32|ole32|oleaut32|shlwapi|msvcrt|api-ms-win-.*)\.dll$'
estranee=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$intestazioni" |
  tr 'A-Z' 'a-z' | grep -Ev "$di_sistema" || true)
if [ -n "$estranee" ]; then
  echo "$exe imports DLLs that Windows lacks, or that the loader looks for beside it:" \
    $estranee >&2
  exit 1
fi
echo "$exe: $tipo, known system DLLs only"
