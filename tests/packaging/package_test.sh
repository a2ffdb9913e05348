#!/usr/bin/env bash
# Builds the Debian package from this build tree, unpacks it into a
# throw-away root and checks it as an administrator would: the installed
# programs start from there and find their files, their command lines
# answer --help, --version and misuse, and Debian's own checkers accept the
# package, its desktop entries and its AppStream file.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/vellumet-package-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for program in vellumet postlet reelix; do
  [ -x "$build/bin/$program" ] || fail "$build/bin/$program is not built"
done

# --- the package -----------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/out/vellumet_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$work/out"; fail "no $(basename "$deb")"; }

dpkg-deb -c "$deb" | awk '{print $1, $6}' >"$work/contents"
for entry in \
  "-rwxr-xr-x ./usr/bin/vellumet" "-rwxr-xr-x ./usr/bin/postlet" "-rwxr-xr-x ./usr/bin/reelix" \
  "-rw-r--r-- ./usr/share/vellumet/Capture.wav" "-rw-r--r-- ./usr/share/vellumet/Japanese932.ini" \
  "-rw-r--r-- ./usr/share/applications/vellumet.desktop" "-rw-r--r-- ./usr/share/applications/postlet.desktop" \
  "-rw-r--r-- ./usr/share/applications/reelix.desktop" \
  "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/vellumet.svg" \
  "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/postlet.svg" \
  "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/reelix.svg" \
  "-rw-r--r-- ./usr/share/metainfo/io.github.vellumet.Vellumet.metainfo.xml" \
  "-rw-r--r-- ./usr/share/man/man1/vellumet.1.gz" "-rw-r--r-- ./usr/share/man/man1/postlet.1.gz" \
  "-rw-r--r-- ./usr/share/man/man1/reelix.1.gz" \
  "-rw-r--r-- ./usr/share/doc/vellumet/copyright" "-rw-r--r-- ./usr/share/doc/vellumet/changelog.gz"; do
  grep -qxF -- "$entry" "$work/contents" || fail "the package lacks $entry"
done
if grep -v ' ./usr/' "$work/contents" | grep -qv ' ./$'; then
  fail "files outside /usr: $(grep -v ' ./usr/' "$work/contents")"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libvlc5 libjpeg62-turbo vlc-plugin-base; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
touch "$work/unpacked"

# --- the installed programs, with a home of their own ----------------------
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_DOCUMENTS_DIR="$work/home/Documents" XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=offscreen
# A sanitizer build's programs: no leak report at exit from the short runs.
export ASAN_OPTIONS=detect_leaks=0
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
bin="$root/usr/bin"

expect_output() {  # expect_output WANTED_STATUS PATTERN COMMAND...
  local want=$1 pattern=$2 status=0
  shift 2
  "$@" >"$work/out.txt" 2>&1 || status=$?
  [ "$status" = "$want" ] || { cat "$work/out.txt"; fail "$* exited $status, not $want"; }
  grep -qE -- "$pattern" "$work/out.txt" || { cat "$work/out.txt"; fail "$* did not print /$pattern/"; }
}
expect_output 0 "^Vellumet $version\$" "$bin/vellumet" --version
expect_output 0 "^Postlet $version\$" "$bin/postlet" --version
expect_output 0 "^Reelix $version\$" "$bin/reelix" -v
expect_output 0 "--simulate <n>.*" "$bin/vellumet" --help
grep -q -- "--simulate-wifi" "$work/out.txt" || fail "vellumet --help lacks --simulate-wifi"
expect_output 0 "\\[FILE\\]" "$bin/postlet" --help
expect_output 0 "\\[CLIP\\]" "$bin/reelix" --help
expect_output 2 "Unknown option 'no-such-option'" "$bin/vellumet" --no-such-option
expect_output 2 "Unknown option 'x'" "$bin/postlet" -x
expect_output 2 "Unknown option 'no-such-option'" "$bin/reelix" --no-such-option
expect_output 2 "Missing value after '--simulate'" "$bin/vellumet" --simulate
expect_output 2 "from 1 to 5" "$bin/vellumet" --simulate 9
# --help needs no display.
expect_output 0 "--version" env -u QT_QPA_PLATFORM DISPLAY= WAYLAND_DISPLAY= "$bin/reelix" --help

# A real start: the installed Vellumet keeps its settings in the home and
# writes nothing beside itself.
"$bin/vellumet" --simulate 1 >"$work/vellumet.log" 2>&1 &
pid=$!
for _ in $(seq 1 600); do  # up to a minute: a sanitizer build starts slowly
  grep -q "camera backend" "$work/vellumet.log" && [ -f "$XDG_DOCUMENTS_DIR/Vellumet/savepath.ini" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
sleep 2
kill -TERM "$pid" 2>/dev/null || true
status=0
wait "$pid" || status=$?
[ "$status" = 0 ] || { cat "$work/vellumet.log"; fail "the installed vellumet ended with $status"; }
[ -f "$XDG_DOCUMENTS_DIR/Vellumet/savepath.ini" ] || fail "the installed vellumet wrote no savepath.ini"
written=$(find "$root" -newer "$work/unpacked")
[ -z "$written" ] || fail "the installed vellumet wrote beside itself: $written"

# --- Debian's checkers -----------------------------------------------------
for entry in "$root"/usr/share/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "desktop-file-validate $(basename "$entry")"
done
grep -qx 'MimeType=image/bmp;image/jpeg;' "$root/usr/share/applications/vellumet.desktop" || fail "vellumet.desktop MimeType"
grep -qx 'MimeType=video/x-msvideo;video/avi;' "$root/usr/share/applications/reelix.desktop" || fail "reelix.desktop MimeType"
# A new version names its release in both.
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/io.github.vellumet.Vellumet.metainfo.xml" \
  || fail "the AppStream file has no release $version"
zcat "$root/usr/share/doc/vellumet/changelog.gz" | sed -n 1p | grep -qF "vellumet ($version)" \
  || fail "the changelog does not start with $version"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.vellumet.Vellumet.metainfo.xml" \
  || fail "appstreamcli validate"
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || { cat "$work/lintian.txt"; fail "lintian"; }
cat "$work/lintian.txt"
echo "package test: $(basename "$deb") passed"
