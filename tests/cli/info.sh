#!/usr/bin/env bash
# vantorel --info prints what the engine finds, one "label: value" line
# each, in a fixed order, and exits 0, with or without a game.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; cat "$WORK/out" >&2 2>/dev/null; exit 1; }
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$WORK/cfg"

mkdir -p "$WORK/game/GameData/Text"
"$BUILD/vantorel" --info --game-dir "$WORK/game" >"$WORK/out" 2>"$WORK/err" || fail "status $?"
labels=$(cut -d: -f1 "$WORK/out" | tr '\n' '|')
[ "$labels" = "version|video driver|renderer|audio driver|audio output|soundfont|font ＭＳ Ｐゴシック|font ＭＳ ゴシック|font ＭＳ Ｐ明朝|font ＭＳ 明朝|game directory|save directory|bindings file|" ] ||
  fail "labels: $labels"
grep -qx "version: $("$BUILD/vantorel" --version)" "$WORK/out" || fail "version"
grep -qx "video driver: dummy" "$WORK/out" || fail "video driver"
grep -qx "audio driver: dummy" "$WORK/out" || fail "audio driver"
grep -qE "^audio output: [0-9]+ Hz, 2 channels, 32-bit float$" "$WORK/out" || fail "audio output"
# The family and file each face resolved to (a stand-in says what it stands in for).
grep -qE "^font ＭＳ Ｐゴシック: [^ ].* \(/.*\.(ttf|otf|ttc)\)(, standing in for IPAPGothic)?$" "$WORK/out" || fail "message face"
grep -qx "game directory: $WORK/game (no opening script: nothing can start)" "$WORK/out" || fail "game directory"
grep -qx "save directory: $WORK/game/GameData/Text/セーブデータ" "$WORK/out" || fail "save directory"
grep -qx "bindings file: $WORK/cfg/vantorel/2972611C-8A87-4B5D-95AA-BFF9FD576136.bindings (not written yet: the default keys)" \
  "$WORK/out" || fail "bindings file"
# A soundfont named by VANTOREL_SOUNDFONT is used; one that cannot be read is
# passed over for the next in the README's order, and said so.
printf 'RIFF\0\0\0\0sfbk' >"$WORK/font.sf2"
VANTOREL_SOUNDFONT=$WORK/font.sf2 "$BUILD/vantorel" --info --game-dir "$WORK/game" | grep -qx "soundfont: $WORK/font.sf2" ||
  fail "VANTOREL_SOUNDFONT"
for named in /some/where.sf2 "$WORK/game"; do
  VANTOREL_SOUNDFONT=$named "$BUILD/vantorel" --info --game-dir "$WORK/game" >"$WORK/out" 2>/dev/null
  grep -qE "^soundfont: .*\(VANTOREL_SOUNDFONT names $named, which is no soundfont that can be read\)$" "$WORK/out" ||
    fail "VANTOREL_SOUNDFONT naming $named"
  grep -q "^soundfont: $named" "$WORK/out" && fail "VANTOREL_SOUNDFONT naming $named is used"
done
# With ALSA and no sound card its library's own lines stay out of stderr:
# the engine's line says what became of the sound.
if [ ! -e /dev/snd/controlC0 ]; then
  SDL_AUDIODRIVER=alsa "$BUILD/vantorel" --info --game-dir "$WORK/game" >"$WORK/out" 2>"$WORK/err" || fail "alsa: status $?"
  grep -q "ALSA lib" "$WORK/err" && fail "ALSA's messages: $(cat "$WORK/err")"
  grep -q "^audio output: none" "$WORK/out" || fail "alsa: audio output"
fi
# Without a game it says so and still succeeds.
(cd "$WORK" && VANTOREL_DEMO_DIR="$WORK/none" "$BUILD/vantorel" --info >"$WORK/out" 2>/dev/null) || fail "no game: status $?"
grep -qx "game directory: none (no GameData in $WORK)" "$WORK/out" || fail "no game"
echo "info: ok"
