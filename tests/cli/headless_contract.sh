#!/usr/bin/env bash
# The headless command-line contract: exit codes, screenshots, trace and answers.
set -u
BUILD="$1"
BIN="$BUILD/vantorel"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$BIN" --frames 3 >/dev/null 2>&1; [ $? -eq 2 ] || fail "--frames without --headless must exit 2"
"$BIN" --headless --frames x >/dev/null 2>&1; [ $? -eq 2 ] || fail "bad --frames must exit 2"
"$BIN" --nonsense >/dev/null 2>&1; [ $? -eq 2 ] || fail "unknown option must exit 2"
printf '3 jump decide\n' > "$T/bad.txt"
"$BIN" --headless --input "$T/bad.txt" >"$T/err" 2>&1; [ $? -eq 2 ] || fail "bad input file must exit 2"
grep -q "line 1" "$T/err" || fail "bad input file message names the line"
"$BIN" --headless --game-dir "$T/none" --frames 1 >/dev/null 2>&1; [ $? -eq 2 ] || fail "missing game dir must exit 2"
exit 0
