#!/usr/bin/env bash
# Starts the real program on an empty home and checks what a first start
# leaves, then that a second start ends at once while the first runs.
set -euo pipefail
exe=$1
sandbox=$(mktemp -d)
first=
trap '[ -n "$first" ] && kill -KILL "$first" 2>/dev/null; rm -rf "$sandbox"' EXIT
export HOME=$sandbox/home XDG_CONFIG_HOME=$sandbox/home/.config XDG_RUNTIME_DIR=$sandbox/run
mkdir -p "$HOME"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

"$exe" "$sandbox/picture.jpg" >"$sandbox/first.log" 2>&1 &
first=$!
reg=$XDG_CONFIG_HOME/Vellumet/registry.reg
for _ in $(seq 1 300); do
  [ -f "$reg" ] && grep -q '"languagesubid"' "$reg" && break
  kill -0 "$first" 2>/dev/null || { echo "postlet exited during start-up:"; cat "$sandbox/first.log"; exit 1; }
  sleep 0.1
done
fail=0
grep -q '^\[HKEY_CURRENT_USER\\SOFTWARE\\Lensio\\Lensio\\Configation\]' "$reg" || { echo "language key not created"; fail=1; }
grep -q '^"languagemainid"=dword:00000000' "$reg" || { echo "languagemainid not written as 0"; fail=1; }
[ -f "$XDG_RUNTIME_DIR/vellumet/postlet.lock" ] || { echo "no instance lock"; fail=1; }

# A second start ends silently while the first holds the lock.
status=timeout
"$exe" >"$sandbox/second.log" 2>&1 &
second=$!
for _ in $(seq 1 100); do
  kill -0 "$second" 2>/dev/null || { status=0; wait "$second" || status=$?; break; }
  sleep 0.1
done
if [ "$status" != 0 ]; then
  echo "second instance: $status"
  kill -KILL "$second" 2>/dev/null || true
  fail=1
fi
kill -0 "$first" 2>/dev/null || { echo "the first instance is gone"; fail=1; }
[ "$fail" -eq 0 ] && echo "first start: language values and instance lock in place; a second start ended at once"
exit "$fail"
