#!/usr/bin/env bash
# Where saves go. A game directory that can be written keeps them in its own
# save folder; one that cannot (an installed game) saves into the player's
# data directory for that game and loads from there; --save-dir overrides
# both; a save name that climbs out of the game is refused and reported.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
[ -d "$BUILD/game/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
T=$(mktemp -d)
trap 'chmod -R u+w "$T" 2>/dev/null; rm -rf "$T"' EXIT
chmod 755 "$T"
fail() { echo "FAIL: $*" >&2; exit 1; }

# The demo's pictures and sounds with an opening that saves, spoils the
# variable, loads it back and goes on where the save said.
mkdir -p "$T/src/オープニング" "$T/src/本編"
cat >"$T/src/オープニング/オープニング1.txt" <<'SCRIPT'
string $x = 7
はじめ。
Save 本編\次 セーブデータ\セーブデータ1
Save 本編\次 ..\..\..\逃げた
$x = 1
Load セーブデータ\セーブデータ1
SCRIPT
printf 'つぎ。\nGameEnd\n' >"$T/src/本編/次.txt"
cp -rL "$BUILD/game" "$T/game"  # -L: the build may hold a link to the game
rm -f "$T/game/GameData/Text/セーブデータ/"*.Dat
"$BUILD/vantorel-script" build "$T/src" "$T/game" >/dev/null
printf '20 tap decide\n60 tap decide\n100 tap decide\n' >"$T/in.txt"
chmod -R a+rX "$T"

# run NAME [ARGS...]: plays the opening headless with its own data homes,
# through the command prefix in $wrap.
wrap=()
run() {
  local name=$1
  shift
  mkdir -p "$T/$name/data" "$T/$name/cfg"
  chmod -R 777 "$T/$name"
  env XDG_DATA_HOME="$T/$name/data" XDG_CONFIG_HOME="$T/$name/cfg" "${wrap[@]}" \
    "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 200 --input "$T/in.txt" \
    --trace "$T/$name/trace.jsonl" "$@" 2>"$T/$name/err.txt" || fail "$name: exit status $?"
  # The save went in and came back: the next script runs with the saved value.
  grep -q '"type":"save","path":"GameData\\\\Text\\\\セーブデータ\\\\セーブデータ1.Dat","result":0' "$T/$name/trace.jsonl" ||
    fail "$name: not saved"
  grep -q '"type":"load","path":"GameData\\\\Text\\\\セーブデータ\\\\セーブデータ1.Dat","result":0' "$T/$name/trace.jsonl" ||
    fail "$name: not loaded"
  tail -1 "$T/$name/trace.jsonl" | grep -q '"script":"本編\\\\次.Dat".*"variables":{"$x":"7"}' ||
    fail "$name: the loaded game did not go on with the saved variable"
  grep -q 'はゲームの外を指すため、書き込めません。' "$T/$name/err.txt" || fail "$name: the climbing name was not reported"
  [ -z "$(find "$T" -name '逃げた*')" ] || fail "$name: a file was written outside the game"
}
saves=GameData/Text/セーブデータ

# 1. A game directory we may write: its own save folder.
chmod -R a+w "$T/game"
run writable
[ -f "$T/game/$saves/セーブデータ1E.Dat" ] || fail "writable: the save is not in the game"
# The record of messages seen is the player's own and always lives there, as
# do the game menu's saves (the autosave on quitting); the script's do not.
[ -z "$(find "$T/writable/data" -type f ! -name seen ! -name '*.vsave')" ] || fail "writable: a save went to the data directory"
[ -n "$(find "$T/writable/data/vantorel" -name seen)" ] || fail "writable: no record of the messages seen"
rm -f "$T/game/$saves/"*.Dat

# 2. A game directory that cannot be written: the player's data directory.
# Root writes anywhere, so for root the game is mounted read-only in a mount
# namespace of the run's own (or, where that is not allowed, the run is
# nobody's); anyone else just loses the write permission.
chmod -R a-w "$T/game"
if [ "$(id -u)" = 0 ]; then
  mkdir -p "$T/probe"
  if unshare -m sh -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && ! touch "$1/x"' ro "$T/probe" 2>/dev/null; then
    wrap=(unshare -m sh -c 'g=$1; shift; mount --bind "$g" "$g" && mount -o remount,bind,ro "$g" && exec "$@"' ro "$T/game")
  else
    wrap=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
fi
rowrap=("${wrap[@]}")
run readonly
found=$(find "$T/readonly/data/vantorel" -path "*/$saves/セーブデータ1E.Dat")
[ -n "$found" ] || fail "read-only: no save in the player's data directory"
# The game's id: its directory's name and the start of an FNV-1a hash of
# its opening script as the game reads it (the enciphered file).
id=$(python3 - "$T/game/GameData/Text/オープニング/オープニング1E.Dat" <<'PY'
import sys
h = 0xcbf29ce484222325
for b in open(sys.argv[1], "rb").read():
    h = ((h ^ b) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
print(f"game-{h:016x}"[:17])
PY
)
case "$found" in "$T/readonly/data/vantorel/$id/"*) ;; *) fail "read-only: $found is not in the game's own place $id" ;; esac
[ -z "$(find "$T/game" -newer "$T/in.txt" -type f)" ] || fail "read-only: the game directory changed"

# 3. --save-dir wins over both.
wrap=()
chmod -R u+w "$T/game"
run chosen --save-dir "$T/chosen/saves"
[ -f "$T/chosen/saves/$saves/セーブデータ1E.Dat" ] || fail "--save-dir: the save is not there"
[ -z "$(find "$T/chosen/data" -type f ! -name seen)" ] || fail "--save-dir: a save went to the data directory"

# --info names the place saves go.
chmod -R a-w "$T/game"
info=$(env XDG_DATA_HOME="$T/readonly/data" XDG_CONFIG_HOME="$T/readonly/cfg" "${rowrap[@]}" \
  "$BUILD/vantorel" --info --game-dir "$T/game" 2>/dev/null | grep '^save directory:') || true
case "$info" in *"$T/readonly/data/vantorel/game-"*"/$saves (the game's own directory cannot be written)") ;;
  *) fail "--info: $info" ;; esac
echo "save place: game, player's data directory and --save-dir all save and load"
