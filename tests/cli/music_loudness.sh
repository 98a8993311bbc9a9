#!/usr/bin/env bash
# vantorel-script loudness: the table of the game's MIDI pieces that its web
# page carries. Keys are the pieces' content (the same piece under two names
# is one line, and a key is FNV-1a 64 of the file's bytes), values plausible
# loudness figures and the same on every run; a game without music gives an
# empty table; a file that is no MIDI file, or one that never sounds, is
# named and left out while the others are measured.
set -euo pipefail
BUILD=$1
TOOL="$BUILD/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
fail() { echo "FAIL: $*" >&2; [ -f out.txt ] && cat out.txt err.txt >&2; exit 1; }
entries() { grep -v '^#' "$1" | grep -c . || true; }
SF2=/usr/share/sounds/sf2/TimGM6mb.sf2
[ -f "$SF2" ] || { echo "SKIP: no $SF2"; exit 0; }
# The demo's three pieces, made as its build makes them.
DEMO=$WORK/demo
mkdir -p "$DEMO/GameData/Music/MIDI"
for piece in School:school-theme Evening:evening-theme Night:night-theme; do
  "$BUILD/vantorel-makesound" "${piece#*:}" "$DEMO/GameData/Music/MIDI/${piece%%:*}.mid" >/dev/null
done

"$TOOL" loudness --soundfont "$SF2" "$DEMO" >out.txt 2>err.txt || fail "demo status"
[ "$(entries out.txt)" = 3 ] || fail "three pieces in the demo"
python3 - out.txt "$DEMO/GameData/Music/MIDI" <<'PY' || fail "keys and values"
import os, re, sys
lines = [l for l in open(sys.argv[1]) if not l.startswith("#")]
def fnv(b):
    h = 0xcbf29ce484222325
    for c in b:
        h = ((h ^ c) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h
keys = {}
for l in lines:
    m = re.fullmatch(r"([0-9a-f]{16}) (-?\d+\.\d\d)  # (\S+)\n", l)
    assert m, l
    key, lufs, name = m.group(1), float(m.group(2)), m.group(3)
    # The demo's pieces measure some -25 to -17 LUFS with this soundfont.
    assert -40 < lufs < -5, l
    keys[os.path.basename(name)] = key
# The demo's files are plain standard MIDI files: the key is their bytes'.
for name, key in keys.items():
    assert fnv(open(os.path.join(sys.argv[2], name), "rb").read()) == key, name
assert sorted(keys) == ["Evening.mid", "Night.mid", "School.mid"], keys
PY
"$TOOL" loudness --soundfont "$SF2" "$DEMO" >again.txt 2>/dev/null || fail "second run"
cmp -s out.txt again.txt || fail "the table changes between runs"

# The same piece twice (in a subfolder, as a script may name it) is one
# line with both names; a file that is no MIDI file, and a truncated one,
# are named and left out (status 1), the others still measured. A piece
# with no note never sounds: named, left out, no failure.
mkdir -p g/GameData/Music/MIDI/sub
cp "$DEMO"/GameData/Music/MIDI/School.mid g/GameData/Music/MIDI/
cp g/GameData/Music/MIDI/School.mid g/GameData/Music/MIDI/sub/Copy.mid
"$TOOL" loudness --soundfont "$SF2" g >out.txt 2>err.txt || fail "copies status"
[ "$(entries out.txt)" = 1 ] || fail "a copy gives no line of its own"
grep -q ' # GameData/Music/MIDI/School.mid GameData/Music/MIDI/sub/Copy.mid$' out.txt || fail "both names"
keyed() { grep "$2" "$1" | cut -d' ' -f1,2; }
[ "$(keyed out.txt School)" = "$(keyed again.txt School)" ] || fail "the value under another game directory"
echo "not a MIDI file" > g/GameData/Music/MIDI/readme.txt
head -c 40 "$DEMO/GameData/Music/MIDI/Night.mid" > g/GameData/Music/MIDI/Broken.mid
printf 'MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\4\0\xff\x2f\0' > g/GameData/Music/MIDI/Silent.mid
: > g/GameData/Music/MIDI/Empty.mid
status=0
"$TOOL" loudness --soundfont "$SF2" g >out.txt 2>err.txt || status=$?
[ "$status" = 1 ] || fail "broken files: status $status"
[ "$(entries out.txt)" = 1 ] || fail "the good piece is still measured"
grep -q 'readme.txt: no standard MIDI file; left out' err.txt || fail "names the text file"
grep -q 'Broken.mid: ' err.txt || fail "names the truncated file"
grep -q 'Empty.mid: no standard MIDI file; left out' err.txt || fail "names the empty file"
grep -q 'Silent.mid: never sounds; left out' err.txt || fail "names the silent piece"
if grep -q Silent out.txt; then fail "a silent piece in the table"; fi

# No music at all: an empty table and no failure; no game: a failure.
mkdir -p empty/GameData/Text
"$TOOL" loudness --soundfont "$SF2" empty >out.txt 2>err.txt || fail "no MIDI: status"
[ "$(entries out.txt)" = 0 ] || fail "no MIDI: entries"
mkdir -p empty/GameData/Music/MIDI
"$TOOL" loudness --soundfont "$SF2" empty >out.txt 2>err.txt || fail "empty MIDI folder: status"
[ "$(entries out.txt)" = 0 ] || fail "empty MIDI folder: entries"
status=0; "$TOOL" loudness --soundfont "$SF2" "$WORK/none" >out.txt 2>err.txt || status=$?
[ "$status" = 1 ] || fail "a missing game: status $status"
status=0; "$TOOL" loudness --soundfont g/GameData/Music/MIDI/readme.txt g >out.txt 2>err.txt || status=$?
[ "$status" = 1 ] && grep -q 'no SoundFont 2 file' err.txt || fail "a soundfont that is none"
status=0; "$TOOL" loudness g g >out.txt 2>err.txt || status=$?
[ "$status" = 2 ] || fail "two game directories: status $status"
echo ok
