#!/usr/bin/env bash
# Boots a small virtual machine with the kernel's virtual camera driver
# (vivid) loaded and runs one program of ours in it, against /dev/video0:
#   run_in_vm.sh <program> [arguments...]
# The guest sees this machine's whole file system read-only (so the program
# and its libraries run unchanged) with fresh /dev, /proc and /sys, and a
# writable /run for its home and temporary files.
# Exits with the program's exit code; 77 (skipped) when qemu, busybox or the
# prepared kernel (tools/vm_kernel.sh) is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
project=$(cd "$here/../../.." && pwd)
cache=${VELLUMET_VM_CACHE:-$project/.cache/vm}
limit=${VELLUMET_VM_SECONDS:-240}

skip() {
  echo "SKIPPED: $*"
  exit 77
}
[ $# -ge 1 ] || { echo "usage: $0 <program> [arguments...]" >&2; exit 2; }
qemu=$(command -v qemu-system-x86_64) || skip "qemu-system-x86_64 is not installed (tools/setup.sh installs it)"
busybox=$(command -v busybox) || skip "busybox is not installed (tools/setup.sh installs busybox-static)"
ldd "$busybox" >/dev/null 2>&1 && skip "$busybox is not the static busybox (tools/setup.sh installs busybox-static)"
[ -s "$cache/vmlinux" ] && [ -s "$cache/load-order" ] || skip "no test kernel in $cache (tools/setup.sh runs tools/vm_kernel.sh)"

program=$(readlink -f "$1")
shift
[ -x "$program" ] || { echo "run_in_vm: $program is not a program" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vellumet-vm.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/initrd/bin" "$work/initrd/modules" "$work/share"
cp "$busybox" "$work/initrd/bin/busybox"
cp "$cache/modules/"*.ko "$cache/load-order" "$work/initrd/modules/"
cp "$here/guest_init.sh" "$work/initrd/init"
chmod +x "$work/initrd/init"

# The command and the environment the program gets, quoted for the guest's shell.
{
  printf 'export HOME=/run/home TMPDIR=/run/tmp XDG_CONFIG_HOME=/run/home/.config XDG_DATA_HOME=/run/home/.local/share '
  printf 'XDG_CACHE_HOME=/run/home/.cache XDG_RUNTIME_DIR=/run/user PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen\n'
  for name in ASAN_OPTIONS UBSAN_OPTIONS TSAN_OPTIONS LSAN_OPTIONS GTEST_FILTER QT_LOGGING_RULES; do
    [ -n "${!name:-}" ] && printf 'export %s=%q\n' "$name" "${!name}"
  done
  printf 'mkdir -p "$HOME" "$TMPDIR" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR" && cd "$TMPDIR"\n'
  printf '%q' "$program"
  if [ $# -gt 0 ]; then printf ' %q' "$@"; fi  # printf with none would pass one empty argument
  printf '\n'
} >"$work/share/command"

(cd "$work/initrd" && find . | cpio -o -H newc --quiet) >"$work/initrd.cpio"

# No KVM here: plain emulation. The guest reports its exit code in the share.
timeout --kill-after=10 "$limit" "$qemu" -accel tcg -m 768 -smp 1 -nographic -no-reboot -net none \
  -kernel "$cache/vmlinux" -initrd "$work/initrd.cpio" \
  -append "console=ttyS0 quiet loglevel=3 panic=-1 rdinit=/init" \
  -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
  -virtfs "local,path=$work/share,mount_tag=share,security_model=none,multidevs=remap" \
  </dev/null || echo "run_in_vm: the machine stopped with status $?"

[ -s "$work/share/status" ] || { echo "run_in_vm: the program did not finish in the machine (${limit} s)" >&2; exit 1; }
exit "$(cat "$work/share/status")"
