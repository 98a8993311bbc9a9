#!/usr/bin/env bash
# Starts the game headless many times and counts the starts that reported a
# failure (a line of the failure report, "(hr=...)", on stderr). A start-up
# race shows as a rare report in an otherwise clean start; one report in
# thousands is enough to count.
# Usage: scripts/startup-race.sh BUILD [STARTS] [PARALLEL]
#   BUILD     the build directory (with vantorel and game/)
#   STARTS    how many starts (default 2000)
#   PARALLEL  starts running at once (default 2)
set -euo pipefail
BUILD="$(cd "${1:?usage: startup-race.sh BUILD [STARTS] [PARALLEL]}" && pwd)"
STARTS=${2:-2000}
PARALLEL=${3:-2}
[ -d "$BUILD/game/GameData" ] || { echo "no demo game in $BUILD/game" >&2; exit 2; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
export XDG_DATA_HOME="$T/data" XDG_CONFIG_HOME="$T/config"
export BUILD T
started=$(date +%s)
# Each start writes its stderr to a file of its own; only those with a
# report are kept.
seq 1 "$STARTS" | xargs -P "$PARALLEL" -I{} sh -c '
  "$BUILD/vantorel" --headless --game-dir "$BUILD/game" --frames 2 2>"$T/{}.err" >/dev/null
  status=$?
  if [ $status -ne 0 ] || grep -q "(hr=" "$T/{}.err"; then echo "status $status" >>"$T/{}.err"; mv "$T/{}.err" "$T/fail-{}.err"
  else rm -f "$T/{}.err"; fi'
ended=$(date +%s)
failed=$(find "$T" -name 'fail-*.err' | wc -l)
echo "starts: $STARTS, parallel: $PARALLEL, seconds: $((ended - started)), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "starts with a failure report: $failed"
for f in $(find "$T" -name 'fail-*.err' | head -5); do
  echo "--- $(basename "$f")"
  grep -a '(hr=\|status' "$f" | head -4
done
[ "$failed" -eq 0 ]
