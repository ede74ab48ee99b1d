#!/usr/bin/env bash
# Seeds each fault of scripts/mutanti.txt into the sources, one at a time: it is applied, the
# tests that could see it are rebuilt and run, and the file is put back, whatever happens
# (Ctrl+C included). Says which mutants the tests caught and which survived. Not part of
# verifica.sh: with ccache a mutant takes seconds, or about 80 s with the whole Linux suite.
#
#   bash scripts/mutanti.sh [--tutto] [--solo REGEX] [LIST]
#
#   --tutto       runs the whole Linux suite (ctest --preset default), not just the core's tests
#   --solo REGEX  only the mutants whose file or reason matches REGEX (grep -E)
#   LIST          the list of mutants (scripts/mutanti.txt)
#
# Builds in build/default (configured with its preset when missing) and leaves it built from the
# sources as they are. Exit status 0 only when every mutant applied and was caught.
set -euo pipefail
cd "$(dirname "$0")/.."

tutto=0
solo=""
lista=scripts/mutanti.txt
while [ $# -gt 0 ]; do
  case "$1" in
    --tutto) tutto=1 ;;
    --solo) solo="$2"; shift ;;
    -h | --help) sed -n '2,15p' "$0"; exit 0 ;;
    *) lista="$1" ;;
  esac
  shift
done

costruzione=build/default
[ -f "$costruzione/build.ninja" ] || cmake --preset default >/dev/null
bersaglio=borvan_core_tests
[ "$tutto" = 1 ] && bersaglio=all

radice=$PWD
lavoro=$(mktemp -d)
mkdir "$lavoro/cartella"
originale=""  # the file a mutant is applied to, while it is
ripristina() {
  if [ -n "$originale" ]; then
    cp "$lavoro/originale" "$originale"
    originale=""
  fi
}
trap 'ripristina; rm -rf "$lavoro"' EXIT
trap 'ripristina; echo; echo "interrupted: the sources are as they were"; exit 130' INT TERM

# Replaces the one occurrence of $TESTO with $NUOVO in file $FILE (the text's lines may stand at
# any indentation there); answers how many there were.
applica() {
  FILE="$1" TESTO="$2" NUOVO="$3" perl -e '
    local $/;
    open(my $in, "<", $ENV{FILE}) or die "$ENV{FILE}: $!";
    my $testo = <$in>;
    close $in;
    my $cerca = join("\\n[ \\t]*", map { quotemeta } map { s/^[ \t]+//r } split(/\n/, $ENV{TESTO}, -1));
    my $nuovo = $ENV{NUOVO};
    my $quante = () = $testo =~ /$cerca/g;
    if ($quante == 1) {
      $testo =~ s/$cerca/$nuovo/;
      open(my $out, ">", $ENV{FILE}) or die "$ENV{FILE}: $!";
      print $out $testo;
      close $out;
    }
    print $quante;'
}

# Runs the tests; prints the names of those that failed, one a line.
prova() {
  if [ "$tutto" = 1 ]; then
    QT_QPA_PLATFORM=offscreen timeout 3600 ctest --preset default -j2 >"$lavoro/uscita" 2>&1 ||
      true
    sed -En 's/^[[:space:]]*[0-9]+ - ([^ ]+) \(.*\)$/\1/p' "$lavoro/uscita"
  else
    # In a folder of its own: a mutant may make the program write beside itself.
    (cd "$lavoro/cartella" && timeout 600 "$radice/$costruzione/tests/borvan_core_tests" \
      --gtest_brief=1) >"$lavoro/uscita" 2>&1 || echo "(ended: $?)" >>"$lavoro/uscita"
    sed -n 's/^\[  FAILED  \] \([^ ,]*\).*/\1/p' "$lavoro/uscita" | sort -u
    grep -q '^(ended: 124)' "$lavoro/uscita" && echo "(time limit)"
    grep -q 'PASSED\|FAILED' "$lavoro/uscita" || echo "(crashed)"
  fi
}

presi=0 sopravvissuti=0 non_applicabili=0 non_costruiti=0
rapporto=()

# One mutant: its file, its reason, the text and what replaces it.
esegui() {
  local file="$1" motivo="$2" testo="$3" nuovo="$4"
  if [ -n "$solo" ] && ! printf '%s %s' "$file" "$motivo" | grep -Eq -- "$solo"; then return; fi
  local inizio=$SECONDS
  cp "$file" "$lavoro/originale"
  originale="$file"
  local quante
  quante=$(applica "$file" "$testo" "$nuovo")
  local esito
  if [ "$quante" != 1 ]; then
    ripristina
    non_applicabili=$((non_applicabili + 1))
    esito="NOT APPLICABLE (the text is found $quante times)"
  elif ! cmake --build "$costruzione" --target "$bersaglio" >"$lavoro/costruzione" 2>&1; then
    ripristina
    non_costruiti=$((non_costruiti + 1))
    esito="DOES NOT BUILD"
  else
    local falliti
    falliti=$(prova | paste -sd ' ' -)
    ripristina
    if [ -n "$falliti" ]; then
      presi=$((presi + 1))
      esito="caught by $falliti"
    else
      sopravvissuti=$((sopravvissuti + 1))
      esito="SURVIVED"
    fi
  fi
  local riga
  riga=$(printf '%-8s %s: %s -> %s (%ds)' "${esito%% *}" "$file" "$motivo" "$esito" $((SECONDS - inizio)))
  echo "$riga"
  rapporto+=("$riga")
}

# The list: "@ file | reason", then "- " lines (the text, one line each) and "+ " lines (what
# replaces it; none for a deletion). Lines starting with "#" and blank lines separate nothing.
file="" motivo=""
testo=() nuovo=()
chiudi_mutante() {
  if [ -n "$file" ]; then
    local IFS=$'\n'
    esegui "$file" "$motivo" "${testo[*]}" "${nuovo[*]}"
  fi
  file="" motivo=""
  testo=() nuovo=()
}
while IFS= read -r -u 3 riga || [ -n "$riga" ]; do
  case "$riga" in
    "@ "*)
      chiudi_mutante
      riga=${riga#@ }
      file=${riga%%|*}
      file=${file%"${file##*[! ]}"}
      motivo=${riga#*|}
      motivo=${motivo# }
      ;;
    "- "*) testo+=("${riga:2}") ;;
    "-") testo+=("") ;;
    "+ "*) nuovo+=("${riga:2}") ;;
    "+") nuovo+=("") ;;
  esac
done 3<"$lista"
chiudi_mutante

echo
echo "caught $presi, survived $sopravvissuti, not applicable $non_applicabili, not built $non_costruiti"
for riga in "${rapporto[@]}"; do
  case "$riga" in SURVIVED* | NOT* | DOES*) echo "  $riga" ;; esac
done
# The build goes back to the sources as they are.
cmake --build "$costruzione" --target "$bersaglio" >/dev/null 2>&1 || echo "rebuild failed"
[ "$sopravvissuti" = 0 ] && [ "$non_applicabili" = 0 ] && [ "$non_costruiti" = 0 ]
