#!/usr/bin/env bash
# The settings file in a running game: one a person wrote (a BOM, CR LF,
# comments, no spaces around "=", a newer version's key, one wrong value)
# is read, the wrong value alone set aside; a change in the settings screen
# writes it back with its comments and unknown key, the first file kept as
# settings.bak. A settings folder that cannot be written (read-only, in a
# mount namespace of the run's own) is said once, however many changes.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
[ -d "$BUILD/game/GameData/Text" ] || { echo "demo game not built; skipping"; exit 0; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/config"
# F2 opens the settings at their first row; the second row is the auto
# delay, changed twice by "right".
printf '10 tap key:F2 1\n15 tap down 0\n20 tap right 0\n25 tap right 0\n' >"$T/change.txt"
game() {
  timeout 30 "$BUILD/vantorel" --headless --game-dir "$BUILD/game" --frames 40 --input "$T/change.txt" \
    --settings "$1" 2>"$2"
}

mkdir "$T/conf"
printf '\xEF\xBB\xBF# vantorel settings 1\r\n# mine\r\nmusic-volume=40  # quiet\r\nnewer-key = kept\r\neffect-volume = 0x5\r\n' \
  >"$T/conf/settings"
cp "$T/conf/settings" "$T/first"
game "$T/conf/settings" "$T/err" || fail "exit status $?"
grep -c "設定ファイルの使えない値" "$T/err" | grep -qx 1 || fail "the wrong value was not reported once: $(cat "$T/err")"
cmp -s "$T/conf/settings.bak" "$T/first" || fail "the first file was not kept as settings.bak"
f="$T/conf/settings"
head -c 3 "$f" | od -An -tx1 | grep -q "ef bb bf" || fail "the BOM went"
grep -q $'^# mine\r$' "$f" || fail "the comment went: $(cat -A "$f")"
grep -q $'^music-volume=40  # quiet\r$' "$f" || fail "the music volume's line changed: $(cat -A "$f")"
grep -q $'^newer-key = kept\r$' "$f" || fail "the unknown key went: $(cat -A "$f")"
grep -q $'^effect-volume = 100\r$' "$f" || fail "the wrong value was not given its default: $(cat -A "$f")"
grep -q $'^auto-delay = 1.5\r$' "$f" || fail "the change was not written: $(cat -A "$f")"

# Read-only: the changes hold for the run and the player is told once.
mkdir "$T/ro"
if ! unshare -m sh -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1"' ro "$T/ro" 2>/dev/null; then
  echo "note: no mount namespace here (not root?); the read-only case is skipped"
  echo "ok"
  exit 0
fi
export -f game
export BUILD T
unshare -m bash -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && game "$1/settings" "$2"' \
  ro "$T/ro" "$T/ro.err" || fail "read-only: exit status $?"
[ "$(grep -c "設定を保存できません" "$T/ro.err")" = 1 ] || fail "read-only: not said once: $(cat "$T/ro.err")"
[ ! -e "$T/ro/settings" ] || fail "read-only: a file appeared"
echo "ok"
