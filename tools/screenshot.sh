#!/usr/bin/env bash
# Builds Vellumet, starts it on a virtual display with a throw-away home and
# saves a screenshot of the whole screen: tools/screenshot.sh [out.png] [args]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshot.png}")
shift || true
tools/setup.sh --screenshots
cmake --preset release >/dev/null
cmake --build --preset release
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
export HOME=$sandbox XDG_CONFIG_HOME=$sandbox/.config XDG_RUNTIME_DIR=$sandbox/run
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
xvfb-run -a -s "-screen 0 1400x900x24" bash -c '
  "$0" "${@:2}" & pid=$!
  sleep "${SCREENSHOT_DELAY:-3}"
  import -window root "$1"
  kill -TERM $pid; wait $pid' build/release/bin/vellumet "$out" "$@"
echo "screenshot: $out"
