#!/usr/bin/env bash
# Files that are not what they seem, in a running game: a FIFO, a device, a
# directory, a link to /dev/zero or a gigabyte where the settings, the seen
# record, a save slot or the scripted input should be. The game neither
# blocks nor reads them whole, goes on with defaults, says so once per file
# and replaces none of them.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
[ -d "$BUILD/game/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cp -rL "$BUILD/game" "$T/game"
saves="$T/game/GameData/Text/セーブデータ"
rm -f "$saves/"*.Dat
export XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/config"
# The title's second button opens the load screen, which reads every slot.
printf '170 tap right\n200 tap decide\n' >"$T/load.txt"
refused='このファイルは(読み込|書き込)みません'

# run NAME [ARGS...]: 300 passes headless, at most 20 s (a blocked read
# would hold the game for ever); stderr in $T/NAME.err.
run() {
  local name=$1
  shift
  timeout 20 "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 300 --input "$T/load.txt" \
    --trace "$T/$name.jsonl" "$@" 2>"$T/$name.err" || fail "$name: exit status $? (124: it blocked)"
  tail -1 "$T/$name.jsonl" | grep -q '"loadMode":true' || fail "$name: the load screen did not open"
}
reports() { grep -cE "$refused" "$T/$1.err" || true; }

# Settings: a FIFO, a directory, /dev/zero, a gigabyte. Each is refused once
# and left as it was.
mkfifo "$T/settings-fifo"
mkdir "$T/settings-dir"
truncate -s 1G "$T/settings-huge"
for s in fifo dir huge; do
  run "settings-$s" --settings "$T/settings-$s"
  [ "$(reports "settings-$s")" = 1 ] || fail "settings-$s: not reported once"
done
[ -p "$T/settings-fifo" ] && [ -d "$T/settings-dir" ] || fail "a settings FIFO or directory was replaced"
[ "$(stat -c %s "$T/settings-huge")" = 1073741824 ] || fail "the huge settings file was replaced"
run settings-zero --settings /dev/zero
# A device node of our own (as root): it was read, called damaged and
# renamed over, leaving a plain file of the defaults.
if mknod "$T/settings-null" c 1 3 2>/dev/null; then
  run settings-null --settings "$T/settings-null"
  [ -c "$T/settings-null" ] || fail "a device node as the settings file was replaced"
else
  echo "note: mknod not permitted here; the device-node case is skipped"
fi

# A save slot that is a FIFO, one a gigabyte (sparse): the load screen
# opens at once and names each once; neither is replaced.
mkfifo "$saves/セーブデータ1E.Dat"
truncate -s 1G "$saves/セーブデータ2E.Dat"
start=$(date +%s%N)
run slots
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$(reports slots)" = 2 ] || fail "slots: the two slots were not reported once each"
grep -q '対象: GameData\\Text\\セーブデータ\\セーブデータ2E.Dat' "$T/slots.err" || fail "slots: the huge slot was not named"
[ -p "$saves/セーブデータ1E.Dat" ] || fail "slots: the FIFO was replaced"
[ "$elapsed" -lt 15000 ] || fail "slots: the run took $elapsed ms"
rm -f "$saves/"*.Dat

# The record of messages seen: a FIFO, then a link to /dev/zero (which took
# all memory). Its place is found from a run that saw a message.
seq 200 40 1000 | sed 's/$/ tap decide/' >"$T/play.txt"
timeout 30 "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 1000 --input "$T/play.txt" 2>/dev/null ||
  fail "the first play did not end"
seen=$(find "$T/data" -name seen -type f | head -1)
[ -n "$seen" ] || fail "no record of the messages seen was written"
rm "$seen"
mkfifo "$seen"
run seen-fifo
[ -p "$seen" ] || fail "the seen FIFO was replaced"
[ "$(reports seen-fifo)" = 1 ] || fail "seen-fifo: not reported once"
rm "$seen"
ln -s /dev/zero "$seen"
run seen-zero
[ -L "$seen" ] || fail "the link to /dev/zero was replaced"

# Scripted input that is no file, or too large: a bad command line.
mkfifo "$T/input-fifo"
for input in /dev/zero "$T/input-fifo"; do
  status=0
  timeout 10 "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 1 --input "$input" 2>"$T/input.err" || status=$?
  [ "$status" = 2 ] || fail "--input $input: exit status $status"
  grep -q 'is not a regular file' "$T/input.err" || fail "--input $input: no reason given"
done
truncate -s 17M "$T/input-huge"
status=0
"$BUILD/vantorel" --headless --game-dir "$T/game" --frames 1 --input "$T/input-huge" 2>"$T/input.err" || status=$?
[ "$status" = 2 ] && grep -q 'larger than 16 MiB' "$T/input.err" || fail "--input of 17 MiB: status $status"
echo "ok"
