#!/usr/bin/env bash
# Figures of vantorel-script explore for docs/performance.md: on games made
# for it (one wide menu, menus in a row) and on the demo, the wall and
# processor time of a whole exploration, the most processes and resident
# memory its processes held at once and the most its work directory held,
# sampled every 20 ms.
#   scripts/measure-explore.sh [BUILD_DIR] [TOOL]
# TOOL defaults to BUILD/vantorel-script (another build's, to compare);
# JOBS (2), TIMEOUT (300 s) and CASES (a regular expression) may be set.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(cd "${1:-build}" && pwd)
TOOL=${2:-$BUILD/vantorel-script}
JOBS=${JOBS:-2}
TIMEOUT=${TIMEOUT:-300}
# shellcheck source=../tests/cli/lib/explore_games.sh
. tests/cli/lib/explore_games.sh
work=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -TERM "$pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/tmp"

# One exploration: GAME and options; prints one line of figures. CASES, a
# regular expression, picks the cases by name (default: all).
measure() {
  local name=$1 game=$2
  shift 2
  [[ "$name" =~ ${CASES:-.} ]] || return 0
  local start end procs=0 rss=0 disk=0 n r d v rc=0
  start=$(date +%s.%N)
  TMPDIR="$work/tmp" timeout "$TIMEOUT" /usr/bin/time -f "%U %S" -o "$work/cpu" \
    "$TOOL" explore -j"$JOBS" --format json "$@" "$game" >"$work/out.json" 2>/dev/null &
  pid=$!
  local dir
  dir=$(cd "$game" && pwd -P)
  while kill -0 "$pid" 2>/dev/null; do
    n=0 r=0
    for p in $(find /proc -maxdepth 2 -name cwd -lname "$dir" 2>/dev/null | cut -d/ -f3 || true); do
      n=$((n + 1))
      v=$(awk '/^VmRSS/ {print $2}' "/proc/$p/status" 2>/dev/null || true)
      r=$((r + ${v:-0}))
    done
    d=$(du -sk "$work/tmp" 2>/dev/null | cut -f1 || true)
    d=${d:-0}
    ((n > procs)) && procs=$n
    ((r > rss)) && rss=$r
    ((d > disk)) && disk=$d
    sleep 0.02
  done
  wait "$pid" || rc=$?
  pid=
  end=$(date +%s.%N)
  local branches
  branches=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["branches"])' "$work/out.json" 2>/dev/null ||
    echo "-")
  # time puts "Command exited with non-zero status N" first when it did.
  read -r user sys < <(tail -n 1 "$work/cpu") || { user=- sys=-; }
  printf '%-24s exit %-3s %8.1f s wall %6s s user %6s s sys %6s branches %4d processes %7d KB resident %6d KB work dir\n' \
    "$name" "$rc" "$(echo "$end - $start" | bc)" "$user" "$sys" "$branches" "$procs" "$rss" "$disk"
}

echo "# $(uptime)"
echo "# $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), -j$JOBS, $TOOL"
for n in 100 200 300; do
  explore_wide_game "$work/w$n/src" "$work/w$n/game" "$n"
  measure "menu of $n items" "$work/w$n/game"
done
explore_deep_game "$work/d5/src" "$work/d5/game" 5 4
measure "5 menus of 4" "$work/d5/game"
explore_deep_game "$work/d20/src" "$work/d20/game" 20 4
for s in 2000 10000; do measure "20 menus of 4, $s states" "$work/d20/game" --max-states "$s"; done
if [ -d "$BUILD/game/GameData/Text" ]; then
  cp -r "$BUILD/game" "$work/demo"
  rm -rf "$work/demo/GameData/Text/セーブデータ/"*
  measure "the demo" "$work/demo"
fi
echo "# $(uptime)"
