#!/usr/bin/env bash
# A script opens the key configuration screen; scripted input rebinds decide
# to K and confirms; K then sets the decide slot and steps the script.
set -u
BUILD="$1"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
mkdir -p "$T/game/GameData/Text/オープニング"
printf 'はじめ\nキーコンフィグ\n次の文\nもう一つ\n' > "$T/src.txt"
"$BUILD/vantorel-script" encode "$T/src.txt" "$T/game/GameData/Text/オープニング/オープニング1.Dat" >/dev/null || fail "encode"
# The decide tap at pass 10 steps into the command; the screen opens in pass 11.
F=11
cat > "$T/in.txt" <<IN
10 tap decide
$((F+1)) tap down 1
$((F+3)) tap down 1
$((F+5)) tap decide 1
$((F+8)) tap key:K 1
$((F+10)) tap up 1
$((F+12)) tap up 1
$((F+14)) tap up 1
$((F+16)) tap right 1
$((F+18)) tap decide 1
45 press key:K
IN
XDG_CONFIG_HOME="$T/cfg" "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 50 --trace "$T/t.jsonl" \
  --input "$T/in.txt" 2>/dev/null || fail "run"
grep -q '"type":"keyconfig","event":"bind","action":7,"control":"key:K"' "$T/t.jsonl" || fail "decide was not bound to K"
grep -q '"type":"keyconfig","event":"close","result":"ok"' "$T/t.jsonl" || fail "screen not closed with OK"
grep '"frame":45,' "$T/t.jsonl" | grep -q '"actions":{"7":1}' || fail "K does not set the decide slot"
grep '"frame":46,' "$T/t.jsonl" | grep -q '"type":"step"' || fail "K does not step the script"
ls "$T/cfg/vantorel/"*.bindings >/dev/null 2>&1 || fail "bindings not saved"
exit 0
