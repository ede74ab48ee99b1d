#!/usr/bin/env bash
# Runs a test program with every folder of its tests on a real exFAT file system: a fresh image
# on a loop device, mounted through exfat-fuse for the run and taken down after it (the kernel
# here may have no FAT driver of its own). Where the machine cannot mount one (not root, the
# tools missing, no loop device or FUSE), it says why and the test is skipped (code 77), never
# passed.
#   su_exfat.sh windows|posix <program and its arguments...>
# `windows`: the program runs under wine and is given the folder as wine names it.
set -uo pipefail
stile=$1
shift
salta() {
  echo "SKIPPED: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || salta "mounting an exFAT image needs root"
for strumento in mkfs.exfat mount.exfat-fuse losetup; do
  command -v "$strumento" >/dev/null || salta "$strumento is missing (scripts/dipendenze.sh)"
done
lavoro=$(mktemp -d)
dispositivo=""
smonta() {
  mountpoint -q "$lavoro/disco" && { umount "$lavoro/disco" || umount -l "$lavoro/disco"; }
  [ -n "$dispositivo" ] && losetup -d "$dispositivo"
  rm -rf "$lavoro"
}
trap smonta EXIT
truncate -s 256M "$lavoro/exfat.img"
mkfs.exfat "$lavoro/exfat.img" >/dev/null || salta "mkfs.exfat failed"
dispositivo=$(losetup -f --show "$lavoro/exfat.img" 2>&1) || {
  perche=$dispositivo
  dispositivo=""
  salta "no loop device: $perche"
}
mkdir "$lavoro/disco"
mount.exfat-fuse "$dispositivo" "$lavoro/disco" >/dev/null 2>&1 || salta "exfat-fuse cannot mount here"
echo "exFAT on $dispositivo, mounted at $lavoro/disco"
base=$lavoro/disco
[ "$stile" = windows ] && base="Z:${base//\//\\}"
BORVAN_CARTELLA_PROVE=$base "$@"
