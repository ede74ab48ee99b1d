#!/usr/bin/env bash
# BorvanIF-Setup.exe on a till, in a fresh wine prefix of its own: a folder it cannot write
# refused, a silent install into a chosen folder, a job printed by the installed program, a
# silent upgrade over it while it runs, a silent removal, a silent install with the defaults,
# and the stand-in control added, not registered.
#   prova_installatore.sh SETUP PROGRAMMA ESEMPIO LAVORO win64|win32 [ECRSIM]
# PROGRAMMA is the BorvanIF.exe the setup holds, ESEMPIO the sample command file, LAVORO a
# folder the test may empty, ECRSIM the stand-in control when the setup holds it.
set -euo pipefail
setup=$1 programma=$2 esempio=$3 lavoro=$4 architettura=$5 ecrsim=${6:-}

# Windows need a display.
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a bash "$0" "$@"; fi

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
prima_riga_e() { [ -f "$1" ] && [ "$(head -n 1 "$1" | tr -d '\r')" = "$2" ]; }

chiave='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\BorvanIF'
valore_registro() {
  w reg query "$chiave" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
chiave_presente() { w reg query "$chiave" >/dev/null 2>&1; }
chiave_assente() { ! chiave_presente; }

# The files BorvanIF keeps beside itself, which upgrades and removals leave as they are.
dati=(BorvanIF.CFG BorvanIF.LOG Result.TXT ECRSIM.TXT)
conserva_dati() {
  local f
  for f in "${dati[@]}"; do cp "$cartella/$f" "$lavoro/$f.prima"; done
}
dati_intatti() {
  local f
  for f in "${dati[@]}"; do
    cmp -s "$lavoro/$f.prima" "$cartella/$f" || fallito "$1 changed or removed $f"
  done
}

# Runs a command line as typed at a Windows console, from a batch file so that its quotes and
# spaces reach Windows untouched (NSIS reads /D= to the end of the line, spaces included).
riga_di_comando() {
  printf '@%s\r\n@exit /b %%errorlevel%%\r\n' "$1" >"$WINEPREFIX/drive_c/riga.cmd"
  w cmd /c 'C:\riga.cmd'
}
installa() { riga_di_comando "C:\BorvanIF-Setup.exe $*"; }

# Sends a job the way a point-of-sale program does: written under another name, then renamed.
manda_lavoro() {
  cp "$esempio" "$1/Scontr.tmp"
  mv "$1/Scontr.tmp" "$1/Scontr.ECR"
}

echo "== a fresh prefix"
# One server for the whole test, ended by the trap.
mkdir -p "$WINEPREFIX"
"$WINESERVER" -p
w wineboot -i >/dev/null 2>&1
utente="$WINEPREFIX/drive_c/users/${USER:-$(id -un)}"
menu="$utente/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
avvio="$menu/StartUp/BorvanIF.lnk" # as wine spells the Startup folder
[ -d "$menu" ] || fallito "no Start menu folder at $menu"
cp "$setup" "$WINEPREFIX/drive_c/BorvanIF-Setup.exe"

echo "== a folder that cannot be written is refused"
esito=0
installa '/S /D=Z:\proc\BorvanIF' || esito=$?
[ "$esito" = 2 ] || fallito "setup into an unwritable folder ended with $esito, not 2"
chiave_assente || fallito "an uninstall entry for a refused folder"
manca "$avvio" || fallito "a Startup shortcut for a refused folder"

echo "== a folder whose name the system's code page cannot spell is refused"
# Its name reaches the installer whole only from a UTF-8 locale.
esito=0
LC_ALL=C.UTF-8 w 'C:\BorvanIF-Setup.exe' /S '/D=C:\Cassa☃' || esito=$?
[ "$esito" = 2 ] || fallito "setup into a folder the code page cannot spell ended with $esito, not 2"
manca "$WINEPREFIX/drive_c/Cassa☃" || fallito "the folder the code page cannot spell was made"
chiave_assente || fallito "an uninstall entry for a folder the code page cannot spell"

echo "== silent install into a chosen folder"
cartella="$WINEPREFIX/drive_c/Negozio/Cassa 1"
installa '/S /D=C:\Negozio\Cassa 1' || fallito "setup /S /D= ended with $?"
for f in BorvanIF.exe LEGGIMI.txt Disinstalla.exe Esempio/Scontr.ECR; do
  esiste "$cartella/$f" || fallito "$f not installed"
done
cmp -s "$programma" "$cartella/BorvanIF.exe" || fallito "BorvanIF.exe is not the built one"
manca "$cartella/Scontr.ECR" || fallito "a command file waits beside the program"
manca "$cartella/ECRSIM.DLL" || fallito "the stand-in control is installed by default"
esiste "$avvio" || fallito "no Startup shortcut"
esiste "$menu/BorvanIF.lnk" || fallito "no Start menu entry"
grep -qaiF 'Cassa 1\BorvanIF.exe' "$avvio" || fallito "the Startup shortcut starts another program"
[ "$(valore_registro DisplayName)" = BorvanIF ] || fallito "uninstall entry: DisplayName"
[ -n "$(valore_registro DisplayVersion)" ] || fallito "uninstall entry: DisplayVersion"
[ "$(valore_registro InstallLocation)" = 'C:\Negozio\Cassa 1' ] ||
  fallito "uninstall entry: InstallLocation"
disinstalla=$(valore_registro UninstallString)
[ "$disinstalla" = '"C:\Negozio\Cassa 1\Disinstalla.exe"' ] ||
  fallito "uninstall entry: UninstallString $disinstalla"
[ "$(valore_registro QuietUninstallString)" = "$disinstalla /S" ] ||
  fallito "uninstall entry: QuietUninstallString"
[ "$(valore_registro NoModify)" = 0x1 ] && [ "$(valore_registro NoRepair)" = 0x1 ] ||
  fallito "uninstall entry: NoModify, NoRepair"

echo "== the installed program prints a job on the simulated register"
# Started from another folder: it finds its files beside itself.
(cd "$lavoro" && exec "$WINELOADER" 'C:\Negozio\Cassa 1\BorvanIF.exe' --simulatore &>/dev/null) &
primo=$!
attendi 30 "the installed BorvanIF running" borvanif_attivo
manda_lavoro "$cartella"
attendi 60 "Result.TXT with the job's success" prima_riga_e "$cartella/Result.TXT" 0
[ "$(sed -n 2p "$cartella/Result.TXT" | tr -d '\r')" = "Stampa completata correttamente" ] ||
  fallito "Result.TXT: $(cat "$cartella/Result.TXT")"
cmp -s "$esempio" "$cartella/ECRSIM.TXT" || fallito "ECRSIM.TXT does not hold the receipt's lines"
attendi 30 "the command file deleted" manca "$cartella/Scontr.ECR"
esiste "$cartella/BorvanIF.LOG" || fallito "no log"

echo "== silent upgrade over the running program keeps settings, results and log"
printf 'POLLING_TIME=300\r\nSHOW_ERRORS=0\r\n' >"$cartella/BorvanIF.CFG"
echo "vecchio" >"$cartella/LEGGIMI.txt"
conserva_dati
# Without /D=: an upgrade finds the installation it replaces.
installa /S || fallito "upgrade ended with $?"
attendi 10 "the running BorvanIF closed" terminato "$primo"
wait "$primo" || true
grep -q vecchio "$cartella/LEGGIMI.txt" && fallito "the upgrade did not replace the installed files"
dati_intatti "the upgrade"
manca "$WINEPREFIX/drive_c/BorvanIF" || fallito "the upgrade went to the default folder"
# The program it closed runs again, as the Startup shortcut starts it: it takes the next job.
rm "$cartella/Result.TXT"
manda_lavoro "$cartella"
attendi 60 "the restarted program's outcome" esiste "$cartella/Result.TXT"
attendi 30 "the command file deleted" manca "$cartella/Scontr.ECR"

echo "== silent uninstall closes the program, removes it and keeps the settings"
conserva_dati
[ "$disinstalla" = "$(valore_registro UninstallString)" ] || fallito "the uninstaller moved"
# As "Apps and features" runs it: the uninstaller copies itself away and returns at once.
riga_di_comando "$(valore_registro QuietUninstallString)" || fallito "uninstaller ended with $?"
attendi 60 "the uninstall entry removed" chiave_assente
attendi 30 "the running BorvanIF closed" borvanif_fermo
for f in BorvanIF.exe LEGGIMI.txt Esempio Disinstalla.exe; do
  attendi 30 "$f removed" manca "$cartella/$f"
done
manca "$avvio" || fallito "the Startup shortcut is left"
manca "$menu/BorvanIF.lnk" || fallito "the Start menu entry is left"
attendi 30 "the program's lock removed" manca "$cartella/BorvanIF.LCK"
dati_intatti "the uninstaller"

echo "== silent install with the defaults"
installa /S || fallito "setup /S ended with $?"
esiste "$WINEPREFIX/drive_c/BorvanIF/BorvanIF.exe" || fallito "not installed into C:\\BorvanIF"
esiste "$avvio" || fallito "no Startup shortcut"

if [ -n "$ecrsim" ]; then
  echo "== /ECRSIM adds the stand-in control and leaves it unregistered"
  manca "$WINEPREFIX/drive_c/BorvanIF/ECRSIM.DLL" || fallito "ECRSIM.DLL installed unasked"
  installa '/S /ECRSIM' || fallito "setup /S /ECRSIM ended with $?"
  cmp -s "$ecrsim" "$WINEPREFIX/drive_c/BorvanIF/ECRSIM.DLL" || fallito "ECRSIM.DLL not installed"
  w reg query 'HKCR\COECRCOMLib.CoEcrCom' &>/dev/null && fallito "the installer registered it"
fi
echo "== passed"
