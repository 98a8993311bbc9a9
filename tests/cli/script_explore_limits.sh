#!/usr/bin/env bash
# vantorel-script explore under process limits: however many menus a game
# has, the branch processes never outnumber -j and a fixed few, so a limit
# that low fails no fork; a limit that leaves room for one branch only loses
# no branch (what could not be forked is replayed later); a limit that
# leaves room for none ends in status 3 with what was not explored and why,
# never in a pass.
set -euo pipefail
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
TOOL="$BUILD/vantorel-script"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
chmod 755 "$WORK"
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/cfg"
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=lib/explore_games.sh
. "$HERE/lib/explore_games.sh"

# --- as a user of no other process: a process limit counts every process
# of its user, and holds no one as root ---
if [ "$(id -u)" != 0 ] || ! command -v setpriv >/dev/null; then
  echo "SKIPPED: running as another user with a process limit needs root and setpriv"
  exit 0
fi
user=$((40000 + $$ % 20000))
explore_deep_game deep/src deep/game 20 4
chmod -R a+rX deep
mkdir -p small/src && explore_deep_game small/src small/game 3 3 && chmod -R a+rX small
install -d -m 1777 ntmp
limited() {  # LIMIT ARGS...: explore as $user with at most LIMIT processes
  local limit=$1 i
  shift
  # The last run's keeper, reparented to init, may wait a moment to be reaped.
  for ((i = 0; i < 100; i++)); do
    [ -z "$(ps -u "$user" -o pid= 2>/dev/null)" ] && break
    sleep 0.1
  done
  rc=0
  setpriv --reuid="$user" --regid="$user" --clear-groups env HOME="$WORK/ntmp" TMPDIR="$WORK/ntmp" \
    XDG_CONFIG_HOME="$WORK/ntmp" bash -c "ulimit -u $limit && exec \"\$0\" explore \"\$@\"" "$TOOL" "$@" \
    >out.json 2>err.txt || rc=$?
}
# -j 2: two branches running, two parked, the coordinator and the keeper of
# their process group: six processes, and not one fork may fail.
limited 6 -j2 --format json small/game
[ "$rc" = 0 ] || fail "within 6 processes the game exited $rc: $(cat err.txt)"
[ "$(explore_fields endings forkFailures complete)" = "27 0 True" ] ||
  fail "within 6 processes (endings, failed forks, complete): $(explore_fields endings forkFailures complete)"
limited 6 -j2 --max-states 200 --format json deep/game
[ "$rc" = 3 ] && [ "$(explore_fields forkFailures)" = 0 ] ||
  fail "the 20 menus within 6 processes: exit $rc, failed forks $(explore_fields forkFailures): $(cat err.txt)"
# Room for one branch only: each fork fails, and the items it would have
# taken are replayed later from the opening; nothing is lost.
limited 3 -j2 --format json small/game
[ "$rc" = 0 ] || fail "within 3 processes the game exited $rc: $(cat err.txt)"
read -r endings forks replays complete <<<"$(explore_fields endings forkFailures replays complete)"
[ "$endings" = 27 ] && [ "$forks" -gt 0 ] && [ "$replays" -gt 0 ] && [ "$complete" = True ] ||
  fail "within 3 processes: endings $endings, failed forks $forks, replays $replays, complete $complete"
# No room for a branch at all: nothing explored is no pass.
limited 2 -j2 --format json small/game
[ "$rc" = 3 ] || fail "with no branch possible the run exited $rc, not 3"
grep -q "exploration incomplete: no process could be started: fork: Resource temporarily unavailable" err.txt ||
  fail "the reason is not named: $(cat err.txt)"
python3 - <<'PY' || fail "nothing explored: $(cat out.json)"
import json, sys
r = json.load(open("out.json"))
if r["complete"] or r["notExplored"] != [{"script": "", "choices": [], "what": "the opening was never started"}]:
    sys.exit("not explored: %r" % r["notExplored"])
PY
[ -z "$(ls ntmp | grep vantorel-explore || true)" ] || fail "a work directory was left behind"
echo "explore limits: ok"
