#!/usr/bin/env bash
# vantorel-script explore ended from outside: SIGINT, SIGTERM or SIGHUP ends
# every branch process and removes the work directory, and the tool ends as
# the signal would have it; two signals in a row do too. A work directory
# on a full file system is named as full, and the exploration ends in
# status 3; the game is not blamed for saves the work directory had no room
# for.
set -euo pipefail
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
TOOL="$BUILD/vantorel-script"
WORK=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null; rm -rf "$WORK"' EXIT
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/cfg"
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=lib/explore_games.sh
. "$HERE/lib/explore_games.sh"

# The processes of an exploration of GAME: the coordinator, the keeper of
# the branches' process group and the branches all work in its directory.
explorers() {
  # find complains of processes that end while it looks: that is no failure
  { find /proc -maxdepth 2 -name cwd -lname "$(cd "$1" && pwd -P)" 2>/dev/null || true; } | cut -d/ -f3
}

# --- signals: 20 menus of 4 items, far more than the time given ---
explore_deep_game deep/src deep/game 20 4
mkdir tmp
for signals in TERM INT HUP "TERM INT"; do
  first=${signals%% *}
  # A shell starts background jobs with SIGINT ignored, which the tool
  # would keep: the signals are set back to their defaults for it.
  TMPDIR="$WORK/tmp" env --default-signal=INT,TERM,HUP "$TOOL" explore -j2 deep/game >out.txt 2>err.txt &
  pid=$!
  # Until branches run: more than the coordinator and the keeper.
  for ((i = 0; i < 200; i++)); do
    [ "$(explorers deep/game | wc -l)" -ge 4 ] && break
    sleep 0.05
  done
  [ "$(explorers deep/game | wc -l)" -ge 4 ] || fail "SIG$first: no branch ran"
  [ -n "$(ls tmp)" ] || fail "SIG$first: no work directory"
  for s in $signals; do kill -"$s" "$pid"; done
  rc=0
  wait "$pid" || rc=$?
  pid=
  # It ends as one of the two would have it: the second, coming while the
  # first ends the branches, ends it at once (which of two pending
  # signals is taken first is the kernel's choice).
  want=$((128 + $(kill -l "$first")))
  second=$((128 + $(kill -l "${signals##* }")))
  [ "$rc" = "$want" ] || [ "$rc" = "$second" ] || fail "SIG$first: the tool exited $rc, not $want"
  # Branches are killed and reaped before the coordinator ends; give the
  # kernel a moment to take them out of /proc.
  for ((i = 0; i < 40; i++)); do
    [ -z "$(explorers deep/game)" ] && break
    sleep 0.05
  done
  left=$(explorers deep/game)
  [ -z "$left" ] || fail "SIG$first: processes left running: $left"
  # Cut short by a second signal, the work directory may stay.
  [ "$signals" != "$first" ] || [ -z "$(ls tmp)" ] || fail "SIG$first: the work directory was left: $(ls tmp)"
  rm -rf tmp/*
  [ ! -s out.txt ] || fail "SIG$first: a report was printed"
done

# --- a full work directory: a game that saves, explored with TMPDIR on a
# small file system with almost no room left ---
mkdir -p saves/src/オープニング saves/src/本編
explore_skeleton saves/game
cat > saves/src/オープニング/オープニング1.txt <<'EOF2'
string $セーブデータ1 = セーブデータ\セーブデータ1
どこへ行こう？
FontMenu { フォーマット 1 3 メニューアイテム { 「海へ」 1 本編\海 「山へ」 2 本編\山 } }
EOF2
printf 'Save 本編\\浜 セーブデータ\\セーブデータ1\n波の音がする。\ngoto 本編\\浜\n' > saves/src/本編/海.txt
printf 'Save 本編\\浜 セーブデータ\\セーブデータ1\n山に登った。\nGameEnd\n' > saves/src/本編/山.txt
printf '砂浜を歩く。\nGameEnd\n' > saves/src/本編/浜.txt
"$TOOL" build saves/src saves/game >/dev/null
# With room the game explores cleanly.
rc=0
"$TOOL" explore saves/game >out.txt 2>err.txt || rc=$?
[ "$rc" = 0 ] || fail "the saving game exited $rc: $(cat out.txt err.txt)"
if ! unshare -m true 2>/dev/null; then
  echo "SKIPPED: a small file system for the work directory needs unshare -m (root)"
  echo "explore signals: ok"
  exit 0
fi
mkdir full
unshare -m bash -c '
  set -e
  mount -t tmpfs -o size=256k,mode=1777 tmpfs full
  # Leave 8 KiB: room for the work directory, not for a save as well.
  avail=$(df -B1 --output=avail full | tail -1)
  dd if=/dev/zero of=full/filler bs=4096 count=$(((avail - 8192) / 4096)) status=none 2>/dev/null || true
  rc=0
  TMPDIR="$PWD/full" "$0" explore --format json saves/game >out.json 2>err.txt || rc=$?
  echo "$rc" >rc.txt
  ls -A full >left.txt
' "$TOOL"
rc=$(cat rc.txt)
[ "$rc" = 3 ] || fail "a full work directory exited $rc, not 3: $(cat err.txt out.json)"
grep -q "exploration incomplete: the work directory .* is full (No space left on device)" err.txt ||
  fail "the full work directory is not named: $(cat err.txt)"
grep -q "セーブデータの書き込みに失敗" out.json err.txt && fail "the game was blamed for the full disk: $(cat out.json)"
[ "$(explore_fields failures complete)" = "0 False" ] || fail "the report: $(cat out.json)"
[ "$(cat left.txt)" = filler ] || fail "the work directory was left on the full file system: $(cat left.txt)"
echo "explore signals: ok"
