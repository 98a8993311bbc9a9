#!/usr/bin/env bash
# The command line outside headless play: --version, a game directory
# without GameData or with an empty one, screenshots that cannot be written, no display at all,
# and --trace with a window (SDL's dummy driver), streamed as it runs.
set -u
BUILD="$(cd "$1" && pwd)"
SRC="$(cd "$2" && pwd)"
BIN="$BUILD/vantorel"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
export XDG_CONFIG_HOME="$T/cfg" SDL_AUDIODRIVER=dummy

version=$(sed -n 's/^project(Vantorel VERSION \([0-9.]*\).*/\1/p' "$SRC/CMakeLists.txt")
[ -n "$version" ] || fail "no project version in CMakeLists.txt"
[ "$("$BIN" --version)" = "vantorel $version" ] || fail "--version printed '$("$BIN" --version)'"

# No GameData at all: one plain message naming the directory and --game-dir,
# before any window or box.
mkdir -p "$T/empty"
"$BIN" --game-dir "$T/empty" >"$T/out" 2>"$T/err"; status=$?
[ $status -eq 1 ] || fail "no GameData: status $status"
[ "$(wc -l < "$T/err")" -eq 1 ] || fail "no GameData: more than one line: $(cat "$T/err")"
grep -q "GameData" "$T/err" && grep -qF "$T/empty" "$T/err" && grep -q -- "--game-dir" "$T/err" ||
  fail "no GameData: message does not name the directory and --game-dir: $(cat "$T/err")"
# An empty GameData: one plain message too, not a box for every file the
# start-up looks for.
mkdir -p "$T/bare/GameData"
"$BIN" --headless --frames 5 --game-dir "$T/bare" >/dev/null 2>"$T/err"; status=$?
[ $status -eq 1 ] || fail "empty GameData: status $status"
[ "$(wc -l < "$T/err")" -eq 1 ] || fail "empty GameData: more than one line: $(cat "$T/err")"
grep -q "Unexpected error encountered" "$T/err" && fail "empty GameData: a failure box: $(cat "$T/err")"
grep -q "opening script" "$T/err" || fail "empty GameData: the message does not say what is missing"

[ -d "$BUILD/game/GameData" ] || { echo "demo game not built; the rest is skipped"; exit 0; }
GAME="$BUILD/game"

# Screenshots: a directory that is not there is refused at once; a file that
# cannot be written fails the run after it.
"$BIN" --headless --frames 3 --game-dir "$GAME" --screenshot "1:$T/no/such/dir/a.png" >/dev/null 2>"$T/err"
[ $? -eq 2 ] || fail "screenshot into a missing directory must exit 2"
mkdir -p "$T/shots/taken.png"  # a directory where the file should go
"$BIN" --headless --frames 3 --game-dir "$GAME" --screenshot "1:$T/shots/taken.png" --screenshot "2:$T/shots/ok.png" \
  >/dev/null 2>"$T/err"; status=$?
[ $status -eq 1 ] || fail "unwritable screenshot: status $status"
grep -q "cannot write screenshot" "$T/err" || fail "unwritable screenshot not named"
[ -s "$T/shots/ok.png" ] || fail "the other screenshot was not written"

# No display and no driver asked for: fails as a failed device does.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR timeout 20 "$BIN" --game-dir "$GAME" \
  >/dev/null 2>"$T/err"; status=$?
[ $status -eq 1 ] || fail "no display: status $status"
grep -q "CreateDevice Error." "$T/err" || fail "no display: no CreateDevice Error. report"

# SDL_VIDEODRIVER=dummy runs as asked, and the trace is written while it runs.
SDL_VIDEODRIVER=dummy "$BIN" --game-dir "$GAME" --trace "$T/window.jsonl" >/dev/null 2>"$T/err" &
pid=$!
# Five passes take 0.08 s; a loaded machine may need far longer to start.
for _ in $(seq 1 100); do [ "$(wc -l < "$T/window.jsonl" 2>/dev/null || echo 0)" -ge 5 ] && break; sleep 0.1; done
kill -0 $pid 2>/dev/null || fail "dummy driver: the game did not keep running: $(cat "$T/err")"
lines=$(wc -l < "$T/window.jsonl")
kill $pid
wait $pid 2>/dev/null
grep -q "CreateDevice Error." "$T/err" && fail "dummy driver refused"
[ "$lines" -ge 5 ] || fail "window trace: $lines lines after 10 s"
python3 - "$T/window.jsonl" <<'PY' || fail "window trace is not JSON Lines of passes"
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1]) if l.endswith("\n")]
assert lines[0]["frame"] == 0 and "events" in lines[0] and "ms" in lines[0], lines[0]
frames = [l["frame"] for l in lines]
assert frames == sorted(set(frames)), "frames not increasing"
PY
exit 0
