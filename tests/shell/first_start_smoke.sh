#!/usr/bin/env bash
# Starts the real program on an empty home, waits for its window, stops it the
# way a session logout does (SIGTERM) and checks what the first start left.
set -euo pipefail
exe=$1
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
export HOME=$sandbox/home XDG_CONFIG_HOME=$sandbox/home/.config XDG_RUNTIME_DIR=$sandbox/run
unset XDG_DOCUMENTS_DIR
mkdir -p "$HOME"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

# A picture named on the command line, relative to the working folder, as a
# file manager's "Open with" passes it: a 2 x 2 BMP.
mkdir -p "$sandbox/pictures"
printf 'BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0\0\0\0\0\x10\0\0\0\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0\xff\0\0\xff\0\0\0\0\0\xff\0\0\xff\0\0\0\0' \
  >"$sandbox/pictures/specimen.bmp"
exe=$(realpath "$exe")
(cd "$sandbox/pictures" && exec "$exe" --simulate 1 specimen.bmp) >"$sandbox/out.log" 2>&1 &
pid=$!
reg=$XDG_CONFIG_HOME/Vellumet/registry.reg
for _ in $(seq 1 300); do
  [ -f "$reg" ] && grep -q '"crosshair"' "$reg" && grep -q 'specimen.bmp' "$reg" && break
  kill -0 "$pid" 2>/dev/null || { echo "vellumet exited during start-up:"; cat "$sandbox/out.log"; exit 1; }
  sleep 0.1
done
sleep 0.5
# A second start hands its picture to the running program and ends.
cp "$sandbox/pictures/specimen.bmp" "$sandbox/pictures/second.bmp"
(cd "$sandbox/pictures" && timeout 20 "$exe" second.bmp) >"$sandbox/second.log" 2>&1 || { echo "the second start failed:"; cat "$sandbox/second.log"; exit 1; }
for _ in $(seq 1 100); do
  grep -q 'second.bmp' "$reg" && break
  sleep 0.1
done
grep -q "^\"File1\"=\"$sandbox/pictures/second.bmp\"" "$reg" || { echo "the running program did not open the picture of a second start"; cat "$sandbox/second.log"; exit 1; }
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
cat "$sandbox/out.log"
[ "$status" -eq 0 ] || { echo "vellumet exited with $status after SIGTERM"; exit 1; }

home=$HOME/Documents/Vellumet
fail=0
for d in SaveFile/Default/Picture SaveFile/Default/Video Setting/calibration; do
  [ -d "$home/$d" ] || { echo "missing folder $home/$d"; fail=1; }
done
[ -f "$home/savepath.ini" ] || { echo "missing savepath.ini"; fail=1; }
for v in g_szCompessName m_zoon_ratio_x m_zoon_ratio_y g_szSaveoption1 g_szSaveoption2 g_szBmporjpg \
         g_szBmporjpgDPI g_szMeasuredecimal m_tool_width m_tool_font_size languagemainid languagesubid \
         isEnableSnap g_szYuy1ormjpeg g_szYuy2ormjpeg g_szYuy3ormjpeg g_szYuy4ormjpeg g_szYuy5ormjpeg \
         s_tool_active_unit crosshair; do
  grep -q "^\"$v\"=" "$reg" || { echo "registry lacks $v"; fail=1; }
done
grep -q '^\[HKEY_CURRENT_USER\\Software\\Vellumet\\Vellumet\\Workspace\]' "$reg" || { echo "window layout not saved at exit"; fail=1; }
grep -q 'camera backend: simulated, 1 microscope' "$sandbox/out.log" || { echo "the simulated camera backend was not chosen"; fail=1; }
grep -q "^\"File2\"=\"$sandbox/pictures/specimen.bmp\"" "$reg" || { echo "the picture named on the command line was not opened"; fail=1; }
[ "$fail" -eq 0 ] && echo "first start: folder tree, savepath.ini and every registry value present; clean exit"

# Without microscopes the start asks the user ("No Connect Microscope"); a
# logout while that box is open still ends the program, cleanly.
"$exe" >"$sandbox/again.log" 2>&1 &
pid=$!
sleep 3
kill -TERM "$pid"
status=timeout
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || { status=0; wait "$pid" || status=$?; break; }
  sleep 0.1
done
if [ "$status" != 0 ]; then
  echo "SIGTERM during the start-up message: $status"
  cat "$sandbox/again.log"
  kill -KILL "$pid" 2>/dev/null || true
  fail=1
fi

# A start that opens a picture shows it without first stopping at "No
# Connect Microscope".
cp "$sandbox/pictures/specimen.bmp" "$sandbox/pictures/third.bmp"
"$exe" "$sandbox/pictures/third.bmp" >"$sandbox/third.log" 2>&1 &
pid=$!
opened=0
for _ in $(seq 1 100); do
  grep -q "^\"File1\"=\"$sandbox/pictures/third.bmp\"" "$reg" && { opened=1; break; }
  sleep 0.1
done
kill -TERM "$pid" 2>/dev/null || true
wait "$pid" || true
[ "$opened" -eq 1 ] || { echo "a picture to open waited behind the no-microscope message"; cat "$sandbox/third.log"; fail=1; }

# Where no session bus runs, every start gets to its window: nothing may start
# a bus for the program (the bus library's autolaunch could hang there).
unset DBUS_SESSION_BUS_ADDRESS
for i in 1 2 3 4 5; do
  rm -f "$reg"
  "$exe" --simulate 1 "$sandbox/pictures/specimen.bmp" >"$sandbox/nobus.log" 2>&1 &
  pid=$!
  up=0
  for _ in $(seq 1 300); do
    [ -f "$reg" ] && grep -q '^"File1"=' "$reg" && { up=1; break; }
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" || true
  [ "$up" -eq 1 ] || { echo "start $i without a session bus did not open its window"; cat "$sandbox/nobus.log"; fail=1; break; }
done
exit "$fail"
