#!/usr/bin/env bash
# Fetches Debian's kernel package (not installed: only unpacked) for the
# virtual-camera test machine, and prepares from it what a boot needs:
#   <cache>/vmlinux      the kernel, uncompressed (boots seconds faster under TCG)
#   <cache>/modules/     vivid and the 9p share's modules, with a load order
#   <cache>/load-order   one module file per line, dependencies first
# The cache is VELLUMET_VM_CACHE or .cache/vm in the project. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."
cache=${VELLUMET_VM_CACHE:-$PWD/.cache/vm}
[ -s "$cache/vmlinux" ] && [ -s "$cache/load-order" ] && exit 0

for tool in apt-get dpkg-deb depmod modprobe xz; do
  command -v "$tool" >/dev/null || { echo "vm_kernel: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done
kernel_package() {
  apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ {print $2; exit}'
}
package=$(kernel_package)
if [ -z "$package" ]; then
  sudo=()
  [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq || true
  package=$(kernel_package)
fi
[ -n "$package" ] || { echo "vm_kernel: no linux-image-amd64 in the package lists" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get download "$package" >/dev/null 2>&1) || { echo "vm_kernel: cannot download $package" >&2; exit 1; }
dpkg-deb -x "$work"/*.deb "$work/root"
release=$(ls "$work/root/lib/modules")
depmod -b "$work/root" "$release"

# The kernel image is an XZ stream inside a boot stub: unpack it.
vmlinuz="$work/root/boot/vmlinuz-$release"
offset=$(grep -abo -m1 $'\xfd7zXZ\x00' "$vmlinuz" | cut -d: -f1)
[ -n "$offset" ] || { echo "vm_kernel: no XZ stream in $vmlinuz" >&2; exit 1; }
tail -c +"$((offset + 1))" "$vmlinuz" | xz -dc --single-stream >"$work/vmlinux" 2>/dev/null || true
head -c 4 "$work/vmlinux" | grep -q $'\x7fELF' || { echo "vm_kernel: unpacking the kernel failed" >&2; exit 1; }

mkdir -p "$work/out/modules"
for module in vivid virtio_pci 9pnet_virtio 9p; do
  modprobe -d "$work/root" -S "$release" --show-depends "$module" | awk '$1 == "insmod" {print $2}'
done | awk '!seen[$0]++' | while read -r file; do
  cp "$file" "$work/out/modules/"
  basename "$file" >>"$work/out/load-order"
done
mv "$work/vmlinux" "$work/out/vmlinux"
echo "$release" >"$work/out/release"
rm -rf "$cache"
mkdir -p "$(dirname "$cache")"
mv "$work/out" "$cache"
echo "vm_kernel: $release ready in $cache"
