#!/usr/bin/env bash
# BorvanIF-Setup.exe and its uninstaller gone through page by page with the keyboard, as a
# person does, on a virtual X server and in a fresh wine prefix of their own: the users page
# (wine runs the setup elevated: it says so, and proposes every user), the folder page refusing
# a folder that cannot be written with its message, the component page, the finish page that
# leaves BorvanIF to the next logon rather than start it elevated, the question before an
# upgrade closes the running BorvanIF (refused, then accepted), and the uninstaller's choice to
# keep or to remove the settings.
#   prova_pagine.sh SETUP FINESTRE LAVORO win64|win32 [SCHERMATE]
# FINESTRE is borvan_finestre.exe, which reads what the windows show; LAVORO a folder the test may
# empty; SCHERMATE a folder for pictures of the pages (BMP), for the documentation.
set -euo pipefail
setup=$1 finestre=$2 lavoro=$3 architettura=$4 schermate=${5:-}

# An X server of its own, whatever display the caller has: keys go to the window that has the
# focus, and no other test's window may take it.
if [ -z "${BORVAN_PAGINE_X:-}" ]; then
  BORVAN_PAGINE_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

source "$(dirname "$0")/comune.sh"
installazione='Installazione di BorvanIF'
disinstallazione='Disinstallazione di BorvanIF'
cartella="$WINEPREFIX/drive_c/Negozio/Cassa 2"
# A failure says what the screen showed instead.
fallito() {
  echo "FAILED: $*" >&2
  echo "-- shown then:" >&2
  w "$finestre" testi "" >&2 || true
  exit 1
}

# mostra TITOLO TESTO: a window whose title begins with TITOLO shows TESTO (a control's line as
# borvan_finestre writes it); its X window is left in `finestra`.
mostra() {
  local testi
  testi=$(w "$finestre" testi "$1" 2>/dev/null | tr -d '\r') || return 1
  finestra=$(awk -v t="$2" '/^== / { x = $2 } index($0, t) { print x; exit }' <<<"$testi")
  [ -n "$finestra" ]
}
non_mostra() { ! mostra "$@"; }
# pagina TITOLO TESTO: waits for it.
pagina() { attendi 60 "a window '$1' showing '$2'" mostra "$1" "$2"; }
# tasti KEY...: pressed in the window the last `pagina` found.
tasti() {
  xdotool windowfocus --sync "$finestra"
  # A click on the title bar first, as a person does: wine gives the keyboard to a window it has
  # activated, and a program started while another one is active is not, on a loaded machine.
  xdotool mousemove --window "$finestra" 150 10 click 1
  xdotool key --delay 100 "$@"
}
# campo TEXT: typed in place of the text of the field that has the focus.
campo() {
  tasti End shift+Home BackSpace
  xdotool type --delay 50 "$1"
}
# foto TITOLO TESTO NAME: a picture of that window, when pictures are asked for.
foto() {
  [ -n "$schermate" ] || return 0
  mkdir -p "$schermate"
  w "$finestre" cattura "$1" "$2" "Z:${schermate//\//\\}\\$3.bmp" >/dev/null ||
    fallito "no picture of '$2'"
}
installatore() { w 'C:\BorvanIF-Setup.exe' &>/dev/null & }
finito() { attendi 30 "'$1' ended" non_mostra "$1" "=="; }
# utenti: the users page, every user proposed, left as it is; its picture taken as NAME, when
# given.
utenti() {
  pagina "$installazione" $'Button\t[x] Per tutti gli utenti di questo computer'
  mostra "$installazione" "in esecuzione come amministratore" || fallito "the page hides the elevation"
  [ $# -eq 0 ] || foto "$installazione" "Per tutti gli utenti" "$1"
  tasti Return
}
# fine [NAME]: the installer's finish page, which does not start BorvanIF as the administrator
# the setup runs as (wine gives no desktop shell to start it as the user); its picture taken as
# NAME, when given. BorvanIF is then started as the Startup shortcut does.
fine() {
  pagina "$installazione" "partirà al prossimo accesso"
  # In a subshell: the check must not take the finish page's window from `finestra`.
  (non_mostra "$installazione" "Avvia BorvanIF ora") || fallito "the finish page offers to start it"
  [ $# -eq 0 ] || foto "$installazione" "al prossimo accesso" "$1"
  tasti Return
  finito "$installazione"
  borvanif_fermo || fallito "BorvanIF started elevated"
  w 'C:\Negozio\Cassa 2\BorvanIF.exe' &>/dev/null &
  attendi 30 "BorvanIF started" borvanif_attivo
}
# disinstallatore attivo|fermo [KEYS...]: through the uninstaller's pages, the settings ticked
# by KEYS on the component page; a BorvanIF the caller left running must be asked about, and is
# closed.
disinstallatore() {
  local stato=$1
  shift
  w 'C:\Negozio\Cassa 2\Disinstalla.exe' &>/dev/null &
  pagina "$disinstallazione" "verrà disinstallato da questa cartella"
  tasti Return
  # The program (always), the settings (off).
  pagina "$disinstallazione" $'SysTreeView32\t [x] [ ]'
  foto "$disinstallazione" "Selezione componenti" disinstalla_componenti
  if [ $# -gt 0 ]; then
    tasti "$@"
    pagina "$disinstallazione" $'SysTreeView32\t [x] [x]'
  fi
  tasti Return
  if [ "$stato" = attivo ]; then
    pagina "$disinstallazione" "BorvanIF è in esecuzione da questa cartella"
    tasti Return
  fi
  pagina "$disinstallazione" "Disinstallazione completata"
  tasti Return
  finito "$disinstallazione"
}
# An upgrade as far as its question about the running BorvanIF.
fino_alla_domanda() {
  installatore
  utenti
  # The folder of the installation it replaces.
  pagina "$installazione" $'Edit\tC:\\Negozio\\Cassa 2'
  tasti Return
  pagina "$installazione" "Selezione componenti"
  tasti Return
  pagina "$installazione" "BorvanIF è in esecuzione da questa cartella"
}

echo "== the folder page refuses a folder that cannot be written, and says so"
# A folder reached through a link that leads nowhere, as a network share that is gone.
ln -s "$lavoro/nessuna/cartella" "$WINEPREFIX/drive_c/Rotto"
installatore
utenti installa_utenti
pagina "$installazione" $'Edit\tC:\\BorvanIF'
foto "$installazione" "Selezione cartella" installa_cartella
campo 'C:\Rotto\BorvanIF'
pagina "$installazione" $'Edit\tC:\\Rotto\\BorvanIF'
tasti Return
pagina "$installazione" "Non è possibile scrivere nella cartella"
foto "$installazione" "Non è possibile scrivere" installa_cartella_rifiutata
tasti Return
attendi 30 "the message closed" non_mostra "$installazione" "Non è possibile scrivere"
mostra "$installazione" "Selezione cartella installazione" || fallito "the folder page was left"

echo "== the component page: without the start at logon, with the stand-in control"
pagina "$installazione" "Selezione cartella installazione"
campo 'C:\Negozio\Cassa 2'
pagina "$installazione" $'Edit\tC:\\Negozio\\Cassa 2'
tasti Return
# The program (always), the start at logon (on), the stand-in control (off).
pagina "$installazione" $'SysTreeView32\t [x] [x] [ ]'
foto "$installazione" "Selezione componenti" installa_componenti
tasti Down space Down space
pagina "$installazione" $'SysTreeView32\t [x] [ ] [x]'
tasti Return

echo "== the finish page leaves BorvanIF to the next logon"
fine installa_fine
installati "$cartella" BorvanIF.exe ECRSIM.DLL Disinstalla.exe
manca "$avvio_comune" || fallito "a Startup shortcut, unticked"
esiste "$menu_comune/BorvanIF.lnk" || fallito "no Start menu entry"

echo "== an upgrade asks before it closes the running BorvanIF"
fino_alla_domanda
foto "$installazione" "in esecuzione da questa cartella" installa_chiusura
# Refused: the program goes on printing, and the upgrade ends there.
tasti Escape
pagina "$installazione" "BorvanIF è ancora in esecuzione"
borvanif_attivo || fallito "BorvanIF closed though the question was refused"
tasti Return
finito "$installazione"
borvanif_attivo || fallito "BorvanIF closed though the question was refused"
# Accepted: the program ends and the upgrade goes on to its finish page.
fino_alla_domanda
tasti Return
attendi 30 "the running BorvanIF closed" borvanif_fermo
fine

echo "== the uninstaller keeps the settings, results and log unless asked"
dati=(BorvanIF.CFG BorvanIF.LOG Result.TXT)
for f in "${dati[@]}"; do echo "$f" >"$cartella/$f"; done
disinstallatore attivo
borvanif_fermo || fallito "BorvanIF still runs"
rimossi "$cartella" BorvanIF.exe ECRSIM.DLL Disinstalla.exe
for f in "${dati[@]}"; do esiste "$cartella/$f" || fallito "$f removed unasked"; done
chiave_assente || fallito "the uninstall entry is left"

echo "== the uninstaller removes them when asked, and the folder with them"
installa '/S /D=C:\Negozio\Cassa 2' || fallito "setup /S ended with $?"
disinstallatore fermo Down space
manca "$cartella" || fallito "the folder is left: $(ls "$cartella")"
echo "== passed"
