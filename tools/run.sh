#!/usr/bin/env bash
# Installs what is missing, builds Vellumet and starts it with a simulated
# USB microscope and a simulated WiFi microscope (--simulate 1 --simulate-wifi;
# other arguments go to the program too). Without a display it runs on a
# virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake --preset release >/dev/null
# Only the programs (and the stand-alone WiFi simulator the README names):
# the tests and benchmarks are built by tools/test.sh and make bench.
cmake --build --preset release --target vellumet postlet reelix vellumet-wifi-sim
exe=build/release/bin/vellumet
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  echo "run: no display found; starting on a virtual display (Xvfb)"
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$exe" --simulate 1 --simulate-wifi "$@"
fi
exec "$exe" --simulate 1 --simulate-wifi "$@"
