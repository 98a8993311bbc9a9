#!/usr/bin/env bash
# VANTOREL_READ_LOG: the files a run reads, as the web page's builder asks
# for them (the title's pictures and sounds, fetched from the page's start).
set -u
BUILD="$1"
BIN="$BUILD/vantorel"
GAME="$BUILD/game"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
[ -d "$GAME/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
run() { HOME="$T/home" "$BIN" --headless --game-dir "$GAME" --save-dir "$T/saves" --frames 10 >/dev/null 2>&1; }

VANTOREL_READ_LOG="$T/reads.txt" run || fail "a run with the log set fails"
[ -s "$T/reads.txt" ] || fail "nothing noted"
# One absolute path a line, each a file asked for (a settings file may not
# exist yet); those in the game's folder exist; the title's logo among them.
GAME_ABS=$(cd "$GAME" && pwd)
while IFS= read -r line; do
  case "$line" in /*) ;; *) fail "not absolute: $line" ;; esac
  case "$line" in "$GAME_ABS"/*) [ -f "$line" ] || fail "noted in the game but no file: $line" ;; esac
done < "$T/reads.txt"
grep -q '/GameData/.*Logo\.png$' "$T/reads.txt" || fail "the title's logo is not noted"

# Unset: nothing written anywhere near; a log that cannot be opened: the run goes on.
run || fail "a run without the log fails"
VANTOREL_READ_LOG="$T/no/such/dir/reads.txt" run || fail "an unwritable log stops the run"
[ ! -e "$T/no" ] || fail "the log's folder was made"
exit 0
