#!/usr/bin/env bash
# Signs a Windows file in place (Authenticode, SHA-256) with the integrator's certificate: a PFX
# file, its password in BORVAN_FIRMA_PASSWORD (empty when unset), and a time stamp from the
# RFC 3161 server at BORVAN_FIRMA_TIMESTAMP when given, so that the signature stays valid after
# the certificate expires. The build calls it for each file it ships (cmake/distribuzione.cmake).
#   bash scripts/firma.sh CERTIFICATO.pfx FILE
set -euo pipefail
certificato=$1 file=$2

argomenti=(sign -pkcs12 "$certificato" -h sha256 -n BorvanIF -in "$file" -out "$file.firmato")
if [ -n "${BORVAN_FIRMA_TIMESTAMP:-}" ]; then argomenti+=(-ts "$BORVAN_FIRMA_TIMESTAMP"); fi
rm -f "$file.firmato"
# The password never on a command line, where every user of the machine can read it.
if ! osslsigncode "${argomenti[@]}" -readpass <(printf %s "${BORVAN_FIRMA_PASSWORD:-}") \
  >"$file.firma.log" 2>&1; then
  cat "$file.firma.log" >&2
  rm -f "$file.firmato" "$file.firma.log"
  echo "$file: not signed with $certificato (is BORVAN_FIRMA_PASSWORD its password?)" >&2
  exit 1
fi
rm -f "$file.firma.log"
mv -f "$file.firmato" "$file"
