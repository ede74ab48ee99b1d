#!/usr/bin/env bash
# BorvanIF-Setup.exe on a till, in a fresh wine prefix of its own: a folder it cannot write
# refused, a silent install into a chosen folder for every user (wine runs it elevated), a job
# printed by the installed program, a silent upgrade over it while it runs, upgrades and a
# removal given up with code 2 and nothing changed while a file is held or BorvanIF runs in
# another session, a silent removal, a silent install for one user turned into one for every
# user, the stand-in control added, not registered, and unregistered by the uninstaller when it
# was registered from the installation's folder, and only then.
#   prova_installatore.sh SETUP PROGRAMMA ESEMPIO FINESTRE LAVORO win64|win32 VERSIONE [ECRSIM]
# PROGRAMMA is the BorvanIF.exe the setup holds, ESEMPIO the sample command file, FINESTRE
# borvan_finestre.exe (it holds files open), LAVORO a folder the test may empty, VERSIONE the
# project's, ECRSIM the stand-in control when the setup holds it. With BORVAN_FIRMA_VERIFICA (a
# certificate, PEM) in the environment, the setup and the files it installs must carry a
# signature that certificate verifies.
set -euo pipefail
setup=$1 programma=$2 esempio=$3 finestre=$4 lavoro=$5 architettura=$6 versione=$7 ecrsim=${8:-}

# Windows need a display.
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a bash "$0" "$@"; fi

source "$(dirname "$0")/comune.sh"
# firmati FILE...: each carries a valid signature, when the build was signed.
firmati() {
  [ -n "${BORVAN_FIRMA_VERIFICA:-}" ] || return 0
  local f
  for f in "$@"; do
    osslsigncode verify -CAfile "$BORVAN_FIRMA_VERIFICA" -in "$f" >/dev/null 2>&1 ||
      fallito "$f carries no valid signature"
  done
}
# The file the stand-in's class is registered to; empty when it is not registered.
server_ecrsim() {
  w reg query 'HKCR\CLSID\{25274A42-A1BC-4A19-AC8C-3A29B4EE74A2}\InprocServer32' /ve 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'
}
progid_assente() { ! w reg query 'HKCR\COECRCOMLib.CoEcrCom' >/dev/null 2>&1; }

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

# avvia WHAT: the installed BorvanIF started from another folder on the simulated register (it
# finds its files beside itself, as when the Startup shortcut starts it), awaited as WHAT; its
# process left in `avviato`.
avvia() {
  (cd "$lavoro" && exec "$WINELOADER" 'C:\Negozio\Cassa 1\BorvanIF.exe' --simulatore &>/dev/null) &
  avviato=$!
  attendi 30 "$1" borvanif_attivo
}
# The sample job dropped the way a point-of-sale program does (written under another name, then
# renamed) and printed: it has its outcome, and its command file is deleted.
stampa() {
  cp "$esempio" "$cartella/Scontr.tmp"
  mv "$cartella/Scontr.tmp" "$cartella/Scontr.ECR"
  attendi 60 "the job's outcome" esiste "$cartella/Result.TXT"
  attendi 30 "the command file deleted" manca "$cartella/Scontr.ECR"
}
# rifiutata WHAT COMMAND...: the setup COMMAND runs refuses the folder: code 2, nothing left.
rifiutata() {
  local esito=0
  "${@:2}" || esito=$?
  [ "$esito" = 2 ] || fallito "setup into $1 ended with $esito, not 2"
  chiave_assente || fallito "an uninstall entry for $1"
  manca "$avvio" || fallito "a Startup shortcut for $1"
  manca "$avvio_comune" || fallito "a common Startup shortcut for $1"
}
# tenuto FILE COMMAND...: COMMAND, while another program holds FILE open sharing reads only,
# ends with code 2, saying WHY in the setup's log (the last argument).
tenuto() {
  local file=$1 perche=${*: -1} esito=0 tenitore
  rm -f "$lavoro/tenuto"
  "$WINELOADER" "$finestre" tieni "$file" 'Z:'"${lavoro//\//\\}"'\tenuto' &>/dev/null &
  tenitore=$!
  attendi 30 "$file held" esiste "$lavoro/tenuto"
  "${@:2:$#-2}" || esito=$?
  kill "$tenitore"
  wait "$tenitore" || true
  [ "$esito" = 2 ] || fallito "with $file held, $* ended with $esito, not 2"
  grep -qaF "$perche" "$cartella/BorvanIF-Setup.log" || fallito "the log does not say: $perche"
}

echo "== folders that cannot be written, or spelt in the system's code page, are refused"
rifiutata "an unwritable folder" installa '/S /D=Z:\proc\BorvanIF'
# Its name reaches the installer whole only from a UTF-8 locale.
LC_ALL=C.UTF-8 rifiutata "a folder the code page cannot spell" \
  w 'C:\BorvanIF-Setup.exe' /S '/D=C:\Cassa☃'
manca "$WINEPREFIX/drive_c/Cassa☃" || fallito "the folder the code page cannot spell was made"

echo "== silent install into a chosen folder, elevated: for every user"
cartella="$WINEPREFIX/drive_c/Negozio/Cassa 1"
installa '/S /D=C:\Negozio\Cassa 1' || fallito "setup /S /D= ended with $?"
installati "$cartella" BorvanIF.exe LEGGIMI.txt Disinstalla.exe Esempio/Scontr.ECR
cmp -s "$programma" "$cartella/BorvanIF.exe" || fallito "BorvanIF.exe is not the built one"
manca "$cartella/Scontr.ECR" || fallito "a command file waits beside the program"
manca "$cartella/ECRSIM.DLL" || fallito "the stand-in control is installed by default"
esiste "$avvio_comune" || fallito "no common Startup shortcut"
esiste "$menu_comune/BorvanIF.lnk" || fallito "no common Start menu entry"
manca "$avvio" || fallito "a Startup shortcut for the installing user only"
! chiave_presente "$chiave_utente" || fallito "an uninstall entry for the installing user only"
grep -qaiF 'Cassa 1\BorvanIF.exe' "$avvio_comune" || fallito "the Startup shortcut starts another program"
grep -qaF "installato in C:\Negozio\Cassa 1 per tutti gli utenti" "$cartella/BorvanIF-Setup.log" ||
  fallito "the setup's log does not say what it did"
bash "$(dirname "$0")/../../scripts/controlla_versione.sh" "$versione" "$cartella/Disinstalla.exe" \
  >/dev/null || fallito "the uninstaller's version resource"
firmati "$setup" "$cartella/BorvanIF.exe" "$cartella/Disinstalla.exe"
disinstalla='"C:\Negozio\Cassa 1\Disinstalla.exe"'
for voce in DisplayName=BorvanIF "DisplayVersion=$versione" Publisher=BorvanIF \
  'InstallLocation=C:\Negozio\Cassa 1' "UninstallString=$disinstalla" \
  "QuietUninstallString=$disinstalla /S" NoModify=0x1 NoRepair=0x1; do
  [ "$(valore_registro "${voce%%=*}" comune)" = "${voce#*=}" ] || fallito "uninstall entry: $voce"
done

echo "== the installed program prints a job on the simulated register"
# Started from another folder: it finds its files beside itself.
avvia "the installed BorvanIF running"
primo=$avviato
stampa
[ "$(tr -d '\r' <"$cartella/Result.TXT")" = $'0\nStampa completata correttamente' ] ||
  fallito "Result.TXT: $(cat "$cartella/Result.TXT")"
cmp -s "$esempio" "$cartella/ECRSIM.TXT" || fallito "ECRSIM.TXT does not hold the receipt's lines"
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
# Elevated, it would start BorvanIF elevated: only through the desktop shell's token, which wine
# has none of. It is left to the Startup shortcut, and the log says so.
borvanif_fermo || fallito "the elevated upgrade started BorvanIF"
grep -qaF "al prossimo accesso" "$cartella/BorvanIF-Setup.log" ||
  fallito "the log does not say BorvanIF starts at the next logon"
ls "$cartella" | grep -q vecchio && fallito "the upgrade left the old files: $(ls "$cartella")"
# As the Startup shortcut starts it: it takes the next job.
avvia "BorvanIF running again"
secondo=$avviato
rm "$cartella/Result.TXT"
stampa

echo "== upgrades and removals with a file held give up, and change nothing"
kill "$secondo"
wait "$secondo" || true
w reg add "$chiave_comune" /v DisplayVersion /d 0.9 /f >/dev/null
cp "$cartella/BorvanIF.exe" "$lavoro/BorvanIF.exe.prima"
# The program's file held by a scanner: BorvanIF, closed by the upgrade, is the one to wait for.
tenuto 'C:\Negozio\Cassa 1\BorvanIF.exe' installa /S "in uso da un altro programma"
# BorvanIF running from the folder in another session: no window here, its lock held.
: >>"$cartella/BorvanIF.LCK"
tenuto 'C:\Negozio\Cassa 1\BorvanIF.LCK' installa /S "in un'altra sessione"
# As itself (_?=), so that its exit code is the removal's.
tenuto 'C:\Negozio\Cassa 1\BorvanIF.exe' \
  riga_di_comando '"C:\Negozio\Cassa 1\Disinstalla.exe" /S _?=C:\Negozio\Cassa 1' \
  "in uso da un altro programma"
cmp -s "$lavoro/BorvanIF.exe.prima" "$cartella/BorvanIF.exe" || fallito "BorvanIF.exe was changed"
[ "$(valore_registro DisplayVersion comune)" = 0.9 ] || fallito "the old version's entry was changed"
installati "$cartella" LEGGIMI.txt Disinstalla.exe Esempio/Scontr.ECR
esiste "$avvio_comune" || fallito "the Startup shortcut was removed"
avvia "BorvanIF running again"

echo "== silent uninstall closes the program, removes it and keeps the settings"
conserva_dati
[ "$disinstalla" = "$(valore_registro UninstallString comune)" ] || fallito "the uninstaller moved"
# As "Apps and features" runs it.
disinstalla "$(valore_registro QuietUninstallString comune)"
attendi 30 "the running BorvanIF closed" borvanif_fermo
rimossi "$cartella" BorvanIF.exe LEGGIMI.txt Esempio Disinstalla.exe BorvanIF-Setup.log
manca "$avvio_comune" || fallito "the Startup shortcut is left"
manca "$menu_comune/BorvanIF.lnk" || fallito "the Start menu entry is left"
attendi 30 "the program's lock removed" manca "$cartella/BorvanIF.LCK"
dati_intatti "the uninstaller"

echo "== silent install for this user only, then for every user"
installa '/S /CURRENTUSER' || fallito "setup /S /CURRENTUSER ended with $?"
esiste "$WINEPREFIX/drive_c/BorvanIF/BorvanIF.exe" || fallito "not installed into C:\\BorvanIF"
esiste "$avvio" || fallito "no Startup shortcut"
[ "$(valore_registro InstallLocation)" = 'C:\BorvanIF' ] || fallito "no uninstall entry of the user"
manca "$avvio_comune" || fallito "a common Startup shortcut"
! chiave_presente "$chiave_comune" || fallito "an uninstall entry of the computer"
# Found, and made every user's: one installation, one entry.
installa /S || fallito "setup /S ended with $?"
esiste "$avvio_comune" || fallito "no common Startup shortcut"
[ "$(valore_registro InstallLocation comune)" = 'C:\BorvanIF' ] || fallito "no entry of the computer"
manca "$avvio" || fallito "the user's Startup shortcut is left"
manca "$menu/BorvanIF.lnk" || fallito "the user's Start menu entry is left"
! chiave_presente "$chiave_utente" || fallito "the user's uninstall entry is left"

if [ -n "$ecrsim" ]; then
  echo "== /ECRSIM adds the stand-in control and leaves it unregistered"
  manca "$WINEPREFIX/drive_c/BorvanIF/ECRSIM.DLL" || fallito "ECRSIM.DLL installed unasked"
  installa '/S /ECRSIM' || fallito "setup /S /ECRSIM ended with $?"
  cmp -s "$ecrsim" "$WINEPREFIX/drive_c/BorvanIF/ECRSIM.DLL" || fallito "ECRSIM.DLL not installed"
  progid_assente || fallito "the installer registered it"
  firmati "$WINEPREFIX/drive_c/BorvanIF/ECRSIM.DLL"

  echo "== the uninstaller leaves another folder's registered ECRSIM.DLL alone"
  mkdir -p "$WINEPREFIX/drive_c/Prove"
  cp "$ecrsim" "$WINEPREFIX/drive_c/Prove/ECRSIM.DLL"
  w regsvr32 /s 'C:\Prove\ECRSIM.DLL' || fallito "regsvr32 of another folder's ECRSIM.DLL"
  disinstalla '"C:\BorvanIF\Disinstalla.exe" /S'
  rimossi "$WINEPREFIX/drive_c/BorvanIF" ECRSIM.DLL
  [ "$(server_ecrsim)" = 'C:\Prove\ECRSIM.DLL' ] || fallito "another folder's registration touched"
  w regsvr32 /u /s 'C:\Prove\ECRSIM.DLL'

  echo "== the uninstaller unregisters the installation's own registered ECRSIM.DLL"
  installa '/S /ECRSIM' || fallito "setup /S /ECRSIM ended with $?"
  # Registered as an operator may type it: its case is no matter.
  w regsvr32 /s 'c:\borvanif\ecrsim.dll' || fallito "regsvr32 of the installed ECRSIM.DLL"
  ! progid_assente || fallito "ECRSIM.DLL not registered"
  disinstalla '"C:\BorvanIF\Disinstalla.exe" /S'
  attendi 30 "the installation's folder removed" manca "$WINEPREFIX/drive_c/BorvanIF"
  progid_assente || fallito "the register's ProgID still registered"
  [ -z "$(server_ecrsim)" ] || fallito "the stand-in's class still registered"
fi
echo "== passed"
