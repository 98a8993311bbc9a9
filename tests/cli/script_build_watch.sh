#!/usr/bin/env bash
# vantorel-script build --watch: a plain script saved while the tool runs is
# enciphered again within a second (an editor's rename-over included), a
# save written in steps (truncated, then written, or written in parts) is
# built only once whole, a source that reads as empty keeps the last build,
# a script that no longer encodes is reported and watched on, and the tool
# ends on SIGINT with status 0.
set -euo pipefail
TOOL="$1/vantorel-script"
WORK=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$WORK"' EXIT
cd "$WORK"
fail() { echo "FAIL: $*" >&2; [ -f log.txt ] && cat log.txt >&2; exit 1; }

mkdir -p src/本編 game/GameData
echo "はじめ。" > src/本編/学校.txt
"$TOOL" build --watch src game >log.txt 2>&1 &
pid=$!
target=game/GameData/Text/本編/学校E.Dat
# Waits up to a second and a half for the decoded target to read $1.
expect_words() {
  for _ in $(seq 1 30); do
    [ -f "$target" ] && [ "$("$TOOL" decode "$target" 2>/dev/null)" = "$1" ] && return 0
    sleep 0.05
  done
  return 1
}
expect_words "はじめ。" || fail "first build"
grep -q "watching src" log.txt || fail "no watching line"

start=$(date +%s%N)
echo "書き直した。" > src/本編/学校.txt
expect_words "書き直した。" || fail "saved script not rebuilt"
ms=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$ms" -lt 1000 ] || fail "rebuilt after $ms ms"

# Editors that save through a new file renamed over the old one.
echo "改名で保存。" > src/本編/tmp.swp && mv src/本編/tmp.swp src/本編/学校.txt
expect_words "改名で保存。" || fail "renamed-over script not rebuilt"

# An editor that truncates the file and writes it a moment later: never an
# empty build, and the last good one stays while the file reads empty.
for round in 1 2 3; do
  : > src/本編/学校.txt
  sleep 0.4
  [ "$("$TOOL" decode "$target")" = "改名で保存。" ] || fail "round $round: an empty save replaced the build"
  echo "改名で保存。" > src/本編/学校.txt
  sleep 0.05
done
grep -q "(0 words)" log.txt && fail "an empty save was built"
grep -q "学校.txt reads as empty: the game keeps its last build of it" log.txt || fail "empty save not reported"
# A save written in two parts, a pause between them, is built whole.
sleep 0.6  # the last round's save is built before the count starts
before=$(wc -l < log.txt)
{ printf 'ひとつめ。\n'; sleep 0.4; printf 'ふたつめ。\n'; } > src/本編/学校.txt
expect_words "ひとつめ。
ふたつめ。" || fail "two-part save not built whole"
tail -n +$((before + 1)) log.txt | grep -q "学校E.Dat (1 words)" && fail "a half-written save was built"
echo "改名で保存。" > src/本編/学校.txt
expect_words "改名で保存。" || fail "restored"

# A new script is built too.
echo "新しい。" > src/本編/新.txt
for _ in $(seq 1 30); do [ -f game/GameData/Text/本編/新E.Dat ] && break; sleep 0.05; done
[ -f game/GameData/Text/本編/新E.Dat ] || fail "new script not built"

# A source that cannot be read as UTF-8 is reported; the old file stays and
# the tool goes on.
printf '\xff\xfe\n' > src/本編/学校.txt
for _ in $(seq 1 30); do grep -q "学校.txt:1:1: byte 0xFF (not UTF-8) has no CP932 form" log.txt && break; sleep 0.05; done
grep -q "has no CP932 form" log.txt || fail "bad script not reported"
kill -0 "$pid" || fail "the tool stopped on a bad script"
[ "$("$TOOL" decode "$target")" = "改名で保存。" ] || fail "a bad save replaced the built script"
echo "直った。" > src/本編/学校.txt
expect_words "直った。" || fail "mended script not rebuilt"

kill -INT "$pid"
rc=0; wait "$pid" || rc=$?
pid=""
[ "$rc" = 0 ] || fail "status $rc after SIGINT"
echo "script build --watch: ok"
