#!/usr/bin/env bash
# vantorel-script explore stays within its bounds: a menu of many items
# takes time in proportion to its items; a game too large stops at
# --max-states, in status 3 with the figures it stopped at and what was not
# explored, never in a pass; the work directory holds only the running
# branches' files. (script_explore_limits.sh: the processes.)
set -euo pipefail
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
TOOL="$BUILD/vantorel-script"
WORK=$(mktemp -d)
# Once in CI (sanitized build, loaded machine) something was still writing
# below tmp/ while this cleanup ran, after every check had passed: the
# removal is tried again a second later rather than failing the test.
trap 'rm -rf "$WORK" 2>/dev/null || { sleep 1; rm -rf "$WORK"; }' EXIT
chmod 755 "$WORK"
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/cfg"
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=lib/explore_games.sh
. "$HERE/lib/explore_games.sh"

# --- command lines ---
for bad in "--max-states 0 g" "--max-states x g" "--max-states 10000001 g" "--max-states"; do
  rc=0
  # shellcheck disable=SC2086
  "$TOOL" explore $bad >/dev/null 2>&1 || rc=$?
  [ "$rc" = 2 ] || fail "'explore $bad' exited $rc, not 2"
done

# --- a menu of 120 items: each item is one walk step on from the last, and
# a label is drawn once, so this takes seconds (it took minutes while every
# item's branch walked the cursor from the top and every label was drawn on
# every frame) ---
explore_wide_game wide/src wide/game 120
rc=0
timeout 60 "$TOOL" explore -j2 --format json wide/game >out.json 2>err.txt || rc=$?
[ "$rc" = 0 ] || fail "the wide menu exited $rc: $(cat err.txt)"
[ "$(explore_fields endings branches notExplored complete)" = "120 120 0 True" ] ||
  fail "the wide menu's report: $(explore_fields endings branches notExplored complete)"

# --- 20 menus of 4 items, each item setting a variable: 4^20 ways, so the
# state limit stops it, with the figures it stopped at; the work directory
# holds the running branches' files only ---
explore_deep_game deep/src deep/game 20 4
mkdir -p tmp
rc=0
TMPDIR="$WORK/tmp" "$TOOL" explore -j2 --max-states 300 --format json deep/game >out.json 2>err.txt &
pid=$!
most=0
while kill -0 "$pid" 2>/dev/null; do
  n=$(find tmp -name '*.rec' 2>/dev/null | wc -l)
  [ "$n" -gt "$most" ] && most=$n
  sleep 0.02
done
wait "$pid" || rc=$?
[ "$rc" = 3 ] || fail "the state limit exited $rc, not 3: $(cat err.txt)"
grep -qF "exploration incomplete: the state limit of 300 states was reached (--max-states)" err.txt ||
  fail "the state limit is not named: $(cat err.txt)"
read -r states count complete statesFull <<<"$(explore_fields states notExploredCount complete statesFull)"
[ "$states" = 300 ] && [ "$count" -gt 0 ] && [ "$complete" = False ] && [ "$statesFull" = True ] ||
  fail "at the state limit: states $states, not explored $count, complete $complete"
[ "$most" -le 5 ] || fail "the work directory held $most branch records at once (-j2: at most 4 branches)"
[ -z "$(ls tmp)" ] || fail "the work directory was left: $(ls tmp)"
"$TOOL" explore -j2 --max-states 50 deep/game >out.txt 2>/dev/null || true
grep -qx "exploration incomplete: the state limit of 50 states was reached (--max-states)" out.txt ||
  fail "the text report does not say it is incomplete: $(tail -3 out.txt)"
grep -q "^branches not explored ([0-9]*):" out.txt || fail "the text report lists nothing not explored"
echo "explore bounds: ok"
