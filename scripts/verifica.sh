#!/usr/bin/env bash
# Builds BorvanIF and runs every check: the files' format, every test (the core's unit tests,
# the Qt tests offscreen, the end-to-end tests of the real program), the core built alone, the
# tests again under the address and undefined-behaviour sanitizers, each fuzz target for a few
# seconds over its corpus (BORVAN_FUZZ_SECONDI, default 5); then the Windows program, 32-bit and
# 64-bit, their version resources, the 64-bit build, signed with a throwaway certificate, tested
# under wine64, and the shipped 32-bit files' tests under wine32 where the kernel runs 32-bit code.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/dipendenze.sh --windows clang clang-format libclang-rt-14-dev
export QT_QPA_PLATFORM=offscreen

echo "== Format (clang-format)"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
else
  find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
fi

echo "== Build and every test"
cmake --preset default >/dev/null
cmake --build --preset default -j2
ctest --preset default -j2

echo "== The core alone"
cmake --preset core >/dev/null
cmake --build --preset core -j2
ctest --preset core -j2

echo "== Sanitizers"
cmake --preset asan >/dev/null
cmake --build --preset asan -j2
ctest --preset asan -j2

echo "== Fuzz targets"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
for lettore in configurazione numeri percorsi righe; do
  # New inputs go to a folder of their own: the corpus in the repository stays as it is.
  nuovi=$(mktemp -d)
  if ! build/fuzz/fuzz/fuzz_$lettore -max_total_time="${BORVAN_FUZZ_SECONDI:-5}" \
    -print_final_stats=1 "$nuovi" "fuzz/corpus/$lettore" >"$nuovi.log" 2>&1; then
    cat "$nuovi.log"
    exit 1
  fi
  echo "fuzz_$lettore: $(grep -ao 'number_of_executed_units: *[0-9]*' "$nuovi.log")"
  rm -rf "$nuovi" "$nuovi.log"
done

echo "== Windows: the 32-bit program shops run"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
bash scripts/controlla_exe.sh build/windows/src/win32/BorvanIF.exe
bash scripts/controlla_exe.sh build/windows/src/ecrsim/ECRSIM.DLL
spediti=(build/windows/src/win32/BorvanIF.exe build/windows/src/ecrsim/ECRSIM.DLL
  build/windows/BorvanIF-Setup.exe)
bash scripts/controlla_versione.sh \
  "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)" "${spediti[@]}"
# Without a certificate the build signs nothing.
if [ -z "${BORVAN_FIRMA_PFX:-}" ]; then
  for f in "${spediti[@]}"; do
    if osslsigncode verify -in "$f" >/dev/null 2>&1; then echo "$f is signed" >&2 && exit 1; fi
  done
fi

echo "== Windows: the 64-bit build's tests under wine64, signed with a certificate made now"
# A throwaway self-signed certificate: the build signs what it ships with it, and the installer's
# test verifies every signature against it.
firma=$PWD/build/firma-prova
mkdir -p "$firma"
(
  export BORVAN_FIRMA_PFX=$firma/prova.pfx BORVAN_FIRMA_VERIFICA=$firma/prova.pem
  BORVAN_FIRMA_PASSWORD=$(openssl rand -hex 16)
  export BORVAN_FIRMA_PASSWORD
  unset BORVAN_FIRMA_TIMESTAMP
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$firma/prova.key" -out "$BORVAN_FIRMA_VERIFICA" \
    -days 2 -subj "/CN=BorvanIF prova" -addext extendedKeyUsage=codeSigning 2>/dev/null
  openssl pkcs12 -export -in "$BORVAN_FIRMA_VERIFICA" -inkey "$firma/prova.key" \
    -out "$BORVAN_FIRMA_PFX" -passout env:BORVAN_FIRMA_PASSWORD
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 -j2
  # The shipped 32-bit files' suite needs a kernel that runs 32-bit code: under qemu's user-mode
  # emulation a 32-bit wine process hangs as it starts a second thread (qemu 7.2, wine 8), and
  # every GoogleTest program starts one. There the files are built and checked above, not run.
  suite32='echo "== Windows: the 32-bit suite" && ctest --preset windows -j2'
  if [ "$(head -n 1 /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null)" = enabled ]; then
    suite32='echo "== Windows: the 32-bit suite is NOT run: this machine runs 32-bit code only under emulation"'
  fi
  # One X server, one wine prefix and one wine server for the whole run: a program then starts
  # in a fraction of a second instead of several.
  xvfb-run -a bash -c "source scripts/wine.sh && ctest --preset windows64 -j2 && $suite32"
)
# The tree stays a plain build: a later build by hand needs no certificate.
env -u BORVAN_FIRMA_PFX cmake --preset windows64 >/dev/null
echo "All checks passed."
