#!/usr/bin/env bash
# The demo asked to quit through the menu item and the close box: "no" keeps
# it running as it was, "yes" quits with status 0.
set -u
BUILD="$1"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
[ -d "$BUILD/game/GameData" ] || { echo "demo game not built; skipping"; exit 0; }
cp -r "$BUILD/game" "$T/game"
printf '40 menu-quit\n60 close\n' > "$T/in.txt"
XDG_CONFIG_HOME="$T/cfg" "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 100 --answer no \
  --trace "$T/no.jsonl" --input "$T/in.txt" 2>/dev/null || fail "run answered no"
[ "$(grep -c '"text":"終了してもよいですか？","answer":"no"' "$T/no.jsonl")" -eq 2 ] || fail "two questions answered no"
grep -q '"type":"quit"' "$T/no.jsonl" && fail "quit after no"
tail -1 "$T/no.jsonl" | grep -q '"running":true' || fail "not running after no"
XDG_CONFIG_HOME="$T/cfg" "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 100 --answer yes \
  --trace "$T/yes.jsonl" --input "$T/in.txt" 2>/dev/null
[ $? -eq 0 ] || fail "quit status"
grep -q '"answer":"yes"},{"type":"quit"}' "$T/yes.jsonl" || fail "no quit after yes"
tail -1 "$T/yes.jsonl" | grep -q '"frame":40,' || fail "ran on after quitting"
exit 0
