# What the installer's tests share: a fresh 64-bit or 32-bit wine prefix of the test's own in
# LAVORO (its server ended with the test), waits with deadlines, the registry's uninstall entry,
# command lines as typed at a Windows console. Sourced after setting `lavoro`, `architettura`
# and `setup`; leaves the prefix booted, the setup in C:\, `menu` and `avvio` pointing at the
# user's Start menu and the BorvanIF shortcut in the user's Startup folder, `menu_comune` and
# `avvio_comune` at every user's. Wine runs every program elevated: the setup installs for every
# user unless told /CURRENTUSER.

rm -rf "$lavoro"
mkdir -p "$lavoro"
export WINEPREFIX="$lavoro/prefisso" WINEARCH=$architettura WINEDEBUG=-all
# No Mono or Gecko installers, and no menu entries written into this machine's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$architettura" = win64 ]; then
  export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
else
  export WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32
fi
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
w() { "$WINELOADER" "$@"; }

fallito() {
  echo "FAILED: $*" >&2
  exit 1
}
# attendi SECONDS WHAT COMMAND...: waits until COMMAND succeeds.
attendi() {
  local fine=$((SECONDS + $1)) secondi=$1 cosa=$2
  shift 2
  until "$@"; do
    ((SECONDS < fine)) || fallito "$cosa (not within $secondi s)"
    sleep 0.2
  done
}
esiste() { [ -e "$1" ]; }
manca() { [ ! -e "$1" ]; }
# installati FOLDER FILE...: each is there. rimossi FOLDER FILE...: each goes, in time.
installati() {
  local f
  for f in "${@:2}"; do esiste "$1/$f" || fallito "$f not installed"; done
}
rimossi() {
  local f
  for f in "${@:2}"; do attendi 30 "$f removed" manca "$1/$f"; done
}
# A process that has ended, reaped or not.
terminato() { [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null || echo Z)" = Z ]; }
# A BorvanIF running in this test's prefix (wine shows a program by its Windows path).
borvanif_attivo() {
  local f
  for f in $(grep -lsia 'BorvanIF\.exe' /proc/[0-9]*/cmdline); do
    tr '\0' '\n' <"${f%/cmdline}/environ" 2>/dev/null |
      grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
borvanif_fermo() { ! borvanif_attivo; }

# The uninstall entry: the user's, or with `comune` every user's.
chiave_utente='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\BorvanIF'
chiave_comune='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\BorvanIF'
# valore_registro NAME [comune]
valore_registro() {
  local chiave=$chiave_utente
  [ "${2:-}" != comune ] || chiave=$chiave_comune
  w reg query "$chiave" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
chiave_presente() { w reg query "$1" >/dev/null 2>&1; }
# Neither entry.
chiave_assente() { ! chiave_presente "$chiave_utente" && ! chiave_presente "$chiave_comune"; }

# Runs a command line as typed at a Windows console, from a batch file so that its quotes and
# spaces reach Windows untouched (NSIS reads /D= to the end of the line, spaces included).
# Where 32-bit code runs emulated, wine now and then fails to start the 32-bit setup at all
# (cmd: "Can't recognize", errorlevel 9009, 49 once cut to a byte): nothing ran, so that start
# is tried again. A code the program itself returned is never retried.
riga_di_comando() {
  printf '@%s\r\n@exit /b %%errorlevel%%\r\n' "$1" >"$WINEPREFIX/drive_c/riga.cmd"
  local prova esito
  for prova in 1 2 3; do
    esito=0
    w cmd /c 'C:\riga.cmd' || esito=$?
    [ "$esito" = 49 ] || return "$esito"
    echo "(wine did not start it, try $prova of 3)" >&2
  done
  return "$esito"
}
installa() { riga_di_comando "C:\BorvanIF-Setup.exe $*"; }
# disinstalla COMMAND-LINE: runs a silent uninstaller; it copies itself away and returns at once.
disinstalla() {
  riga_di_comando "$1" || fallito "uninstaller ended with $?"
  attendi 60 "the uninstall entry removed" chiave_assente
}

echo "== a fresh prefix"
# One server for the whole test, ended by the trap.
mkdir -p "$WINEPREFIX"
"$WINESERVER" -p
w wineboot -i >/dev/null 2>&1
utente="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}"
menu="$utente/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
avvio="$menu/StartUp/BorvanIF.lnk" # as wine spells the Startup folder
menu_comune="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
avvio_comune="$menu_comune/StartUp/BorvanIF.lnk"
[ -d "$menu" ] || fallito "no Start menu folder at $menu"
[ -d "$menu_comune" ] || fallito "no common Start menu folder at $menu_comune"
cp "$setup" "$WINEPREFIX/drive_c/BorvanIF-Setup.exe"
