#!/usr/bin/env bash
# Installs, with apt-get, every Debian package Vellumet needs to build, test
# and run, skipping those already present. Safe to run again and again.
#   tools/setup.sh               build, test and run
#   tools/setup.sh --screenshots also xdotool, to drive the program for screenshots
set -euo pipefail

packages=(
  # tool chain, with clang-format for tools/format.sh
  g++ make cmake ninja-build pkg-config clang-format
  # Qt 6 with the modules the windows use
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev libgl-dev qt6-translations-l10n
  # picture codec, desktop bus, camera discovery, clip writing
  libjpeg62-turbo-dev libdbus-1-dev libudev-dev libopencv-videoio-dev libopencv-imgproc-dev
  # tests: GoogleTest, a private bus for the desktop-service tests, a display,
  # ImageMagick as the reference writer of picture files
  libgtest-dev libgmock-dev dbus-daemon xvfb xauth imagemagick
  # workbooks read back by other programs: xlrd for the cells (LibreOffice,
  # for the pictures, below)
  python3-xlrd
  # the V4L2 test against the kernel's virtual camera: an emulated machine,
  # a shell for it, the tools that unpack the kernel package (tools/vm_kernel.sh)
  qemu-system-x86 busybox-static kmod cpio xz-utils
  # decoder fuzzing (clang's libFuzzer)
  clang libclang-rt-14-dev
  # benchmarks, with libjpeg-turbo's own tjbench to compare against
  libbenchmark-dev libjpeg-turbo-progs
  # a comma-decimal locale for the tests that read files written under it
  locales
  # clips checked by other readers: ffprobe/ffmpeg
  ffmpeg
  # Postlet's tests talk to a real SMTP server on loopback
  python3-aiosmtpd
  # the WiFi microscope's pages, commands and MJPEG stream over HTTP
  libcurl4-openssl-dev
  # Reelix plays clips through libvlc and Debian's installed plugins
  libvlc-dev vlc-plugin-base vlc-plugin-video-output
  # Japanese and Chinese glyphs for the windows in those languages
  fonts-noto-cjk
  # the thumbnail cache's entries
  zlib1g-dev
  # pictures' Exif and XMP read back by other programs
  libimage-exiftool-perl exiv2
  # the Debian package and its desktop files checked by Debian's own tools
  lintian desktop-file-utils appstream dpkg-dev fakeroot
)
# LibreOffice Calc without its desktop parts, unless a LibreOffice is there
# already (the two kinds exclude each other: never replace the user's).
if ! command -v soffice >/dev/null && ! command -v libreoffice >/dev/null; then
  packages+=(libreoffice-calc-nogui)
fi
if [ "${1:-}" = "--screenshots" ]; then
  packages+=(xdotool)
fi

# Generates the German locale the number-format tests switch to, once.
ensure_test_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  echo "setup: generating the de_DE.UTF-8 locale for the tests"
  "${sudo[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

sudo=()
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then
  sudo=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages present"
else
  if [ "$(id -u)" -ne 0 ] && [ ${#sudo[@]} -eq 0 ]; then
    echo "setup: need root or sudo to install: ${missing[*]}" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
ensure_test_locale
# The kernel for that test machine (downloaded, unpacked, never installed).
tools_dir=$(dirname "$0")
"$tools_dir/vm_kernel.sh" || echo "setup: the virtual-camera test will be skipped (no test kernel)" >&2
