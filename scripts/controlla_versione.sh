#!/usr/bin/env bash
# Reads back the version resource of Windows files the build made (the program, the stand-in
# control, the installer, the uninstaller it writes) and checks what Windows shows on their
# Details tab: file and product version equal to the project's, the product's name, a publisher,
# a description and a copyright, in the language the resource announces.
#   bash scripts/controlla_versione.sh VERSIONE FILE...
# VERSIONE is project()'s, for example 1.0 (the missing numbers of the four are 0).
set -euo pipefail
versione=$1
shift

IFS=. read -r -a numeri <<<"$versione"
while [ ${#numeri[@]} -lt 4 ]; do numeri+=(0); done
fisso="${numeri[0]}, ${numeri[1]}, ${numeri[2]}, ${numeri[3]}"

fallito() {
  echo "$file: $*" >&2
  exit 1
}
# The value of one string of the resource, as windres writes it back: VALUE "Name", "text".
valore() { sed -n "s/^ *VALUE \"$1\", \"\\(.*\\)\"\$/\\1/p" <<<"$risorsa"; }

for file in "$@"; do
  case "$(file -b "$file")" in
    PE32+*) windres=x86_64-w64-mingw32-windres ;;
    PE32*) windres=i686-w64-mingw32-windres ;;
    *) fallito "not a Windows program or DLL" ;;
  esac
  risorsa=$("$windres" -i "$file" -O rc | sed -n '/^[0-9]* VERSIONINFO$/,/^END$/p')
  [ -n "$risorsa" ] || fallito "no version resource"
  grep -qx " FILEVERSION $fisso" <<<"$risorsa" || fallito "file version is not $fisso"
  grep -qx " PRODUCTVERSION $fisso" <<<"$risorsa" || fallito "product version is not $fisso"
  # Windows looks the strings up by the language and code page of the translation.
  grep -qx '    VALUE "Translation", 0x410, 1200' <<<"$risorsa" ||
    fallito "not announced as Italian in Unicode"
  grep -qix '    BLOCK "041004b0"' <<<"$risorsa" || fallito "no strings in Italian in Unicode"
  for chiave in FileVersion ProductVersion; do
    [ "$(valore $chiave)" = "$versione" ] || fallito "$chiave is '$(valore $chiave)', not $versione"
  done
  [ "$(valore ProductName)" = BorvanIF ] || fallito "ProductName is '$(valore ProductName)'"
  for chiave in CompanyName FileDescription LegalCopyright; do
    [ -n "$(valore $chiave)" ] || fallito "no $chiave"
  done
  echo "$file: $versione, $(valore FileDescription)"
done
