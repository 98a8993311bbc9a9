#!/usr/bin/env bash
# Writes that succeed, or say they did not: a screenshot, the trace and a
# save on a full disk (/dev/full; an 8 KiB tmpfs in a mount namespace of the
# run's own) are named on stderr and the run exits 1, leaving no empty PNG
# and no temporary file; --save-dir naming no writable directory is refused
# on the command line.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
[ -d "$BUILD/game/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/config"
game() { "$BUILD/vantorel" --headless --game-dir "$BUILD/game" "$@"; }

# /dev/full takes nothing: each is named and the status is 1.
status=0
game --frames 5 --screenshot 2:/dev/full 2>"$T/err" || status=$?
[ "$status" = 1 ] || fail "screenshot to /dev/full: exit status $status"
grep -q "cannot write screenshot /dev/full" "$T/err" || fail "screenshot to /dev/full: not named"
status=0
game --frames 5 --trace /dev/full 2>"$T/err" || status=$?
[ "$status" = 1 ] || fail "trace to /dev/full: exit status $status"
grep -q "cannot write trace file '/dev/full'" "$T/err" || fail "trace to /dev/full: not named"

# --save-dir that names no place a save can go: refused at once, status 2.
touch "$T/a-file"
for dir in "$T/a-file" /proc "$T/a-file/below"; do
  status=0
  game --frames 1 --save-dir "$dir" 2>"$T/err" || status=$?
  [ "$status" = 2 ] || fail "--save-dir $dir: exit status $status"
  grep -q -- "--save-dir '$dir': \(not a directory\|cannot be\)" "$T/err" || fail "--save-dir $dir: no reason: $(head -1 "$T/err")"
done

# An 8 KiB tmpfs, mounted in a mount namespace of the run's own (as root).
if ! unshare -m sh -c 'mount -t tmpfs -o size=8k none "$1"' full "$T" 2>/dev/null; then
  echo "note: no mount namespace here (not root?); the full-disk runs are skipped"
  echo "ok"
  exit 0
fi
mkdir -p "$T/full"
# on_full SCRIPT: runs SCRIPT (sh) with $F an 8 KiB tmpfs and $G the game.
on_full() {
  unshare -m sh -c 'mount -t tmpfs -o size=8k none "$1/full" && F="$1/full" G="$2" sh -c "$3"' full "$T" "$BUILD" "$1"
}
status=0
on_full '"$G/vantorel" --headless --game-dir "$G/game" --frames 5 --screenshot 2:"$F/shot.png" 2>"$F/../err"
  rc=$?; ls -A "$F" >"$F/../left"; exit $rc' || status=$?
[ "$status" = 1 ] || fail "screenshot on a full disk: exit status $status"
grep -q "cannot write screenshot $T/full/shot.png" "$T/err" || fail "screenshot on a full disk: not named"
[ ! -s "$T/left" ] || fail "screenshot on a full disk left $(cat "$T/left")"
status=0
on_full '"$G/vantorel" --headless --game-dir "$G/game" --frames 300 --trace "$F/trace.jsonl" 2>"$F/../err"' || status=$?
[ "$status" = 1 ] || fail "trace on a full disk: exit status $status"
grep -q "cannot write trace file '$T/full/trace.jsonl': No space left on device" "$T/err" ||
  fail "trace on a full disk: not named"

# A save on a full disk: the player is told why, the run goes on, and no
# temporary file is left. The opening saves straight away.
mkdir -p "$T/src/オープニング"
printf 'はじめ。\nSave オープニング\\オープニング1 セーブデータ\\セーブデータ1\nつぎ。\n' >"$T/src/オープニング/オープニング1.txt"
cp -rL "$BUILD/game" "$T/savegame"
rm -rf "$T/savegame/GameData/Text/オープニング"
"$BUILD/vantorel-script" build "$T/src" "$T/savegame" >/dev/null
printf '40 tap decide\n80 tap decide\n' >"$T/in.txt"
status=0
on_full 'head -c 7000 /dev/zero >"$F/filler"
  "$G/vantorel" --headless --game-dir "'"$T/savegame"'" --frames 150 --input "'"$T/in.txt"'" --save-dir "$F/saves" 2>"$F/../err"
  rc=$?; find "$F" -name "*.tmp-*" >"$F/../left"; exit $rc' || status=$?
[ "$status" = 0 ] || fail "save on a full disk: exit status $status"
grep -q 'セーブデータの書き込みに失敗しました。ディスクに空きがありません。' "$T/err" || fail "save on a full disk: no reason given"
[ ! -s "$T/left" ] || fail "save on a full disk left $(cat "$T/left")"
echo "ok"
