#!/usr/bin/env bash
# Makes this machine run the 32-bit Windows programs that shops run, under wine: 32-bit x86 code
# first (natively where the kernel runs it, otherwise through qemu's user-mode emulation,
# registered in binfmt_misc), then wine's 32-bit side (wine32 from Debian's i386 architecture)
# beside wine64. Idempotent; says what it did. Needs root, or sudo.
#   bash scripts/abilita32.sh
# Under emulation every start of a 32-bit program takes about a minute, and a 32-bit wine process
# that starts a second thread may hang (qemu 7.2 with wine 8; GoogleTest starts one to watch the
# main thread): a machine whose kernel runs 32-bit code is the one to test on.
set -euo pipefail

sudo_=""
[ "$(id -u)" -ne 0 ] && sudo_="sudo"
apt_() { DEBIAN_FRONTEND=noninteractive $sudo_ apt-get "$@"; }

# Whether the kernel runs 32-bit code is decided by running some: a tiny program that prints
# nothing and ends with 42 (binutils' assembler and linker come with the compiler).
prova=$(mktemp -d)
trap 'rm -rf "$prova"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' |
  as --32 -o "$prova/prova.o" -
ld -m elf_i386 -o "$prova/prova" "$prova/prova.o"
esegue_32bit() {
  local esito=0
  "$prova/prova" 2>/dev/null || esito=$?
  [ "$esito" = 42 ]
}

binfmt=/proc/sys/fs/binfmt_misc
emulatore=/usr/bin/qemu-i386-static
if esegue_32bit; then
  if [ "$(head -n 1 "$binfmt/qemu-i386" 2>/dev/null)" = enabled ]; then
    echo "32-bit x86 programs run here through $emulatore (binfmt_misc)"
  else
    echo "32-bit x86 programs run here natively: no emulation needed"
  fi
else
  if [ ! -x "$emulatore" ]; then
    echo "Installing qemu-user-static"
    apt_ update -qq
    apt_ install -y -qq --no-install-recommends qemu-user-static
  fi
  if [ ! -e "$binfmt/register" ]; then
    echo "Mounting binfmt_misc on $binfmt"
    $sudo_ mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  # An entry of that name that does not run the program (disabled, or its interpreter gone) is
  # replaced.
  if [ -e "$binfmt/qemu-i386" ]; then
    echo "Removing the binfmt_misc entry qemu-i386, which does not run 32-bit programs"
    echo -1 | $sudo_ tee "$binfmt/qemu-i386" >/dev/null
  fi
  # 32-bit x86 ELF executables and shared objects (e_type 2 or 3, e_machine 3). F: the kernel
  # opens the emulator now, so that it is found from any root, wine's included.
  magia='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  maschera='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo "Registering $emulatore for 32-bit x86 programs in binfmt_misc"
  echo ":qemu-i386:M::$magia:$maschera:$emulatore:F" | $sudo_ tee "$binfmt/register" >/dev/null
  esegue_32bit || { echo "32-bit x86 programs still do not run under $emulatore" >&2; exit 1; }
fi

if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  echo "wine32 is installed"
else
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "Adding Debian's i386 architecture"
    $sudo_ dpkg --add-architecture i386
  fi
  echo "Installing wine32:i386"
  apt_ update -qq
  apt_ install -y -qq --no-install-recommends wine32:i386
fi
# wine's 32-bit loader is itself a 32-bit program: it answers or the setup failed.
/usr/lib/wine/wine --version >/dev/null ||
  { echo "wine's 32-bit loader does not run" >&2; exit 1; }
