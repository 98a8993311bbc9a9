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
summary() {
  local done failed
  done=$(wc -l <"$T/done" 2>/dev/null || echo 0)
  failed=$(find "$T" -name 'fail-*.err' | wc -l)
  echo "starts finished: $done of $STARTS, parallel: $PARALLEL, seconds: $(($(date +%s) - started)), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "starts with a failure report: $failed"
}
# Stopped early (Ctrl+C or SIGTERM to the script): no new start, the ones
# under way finish (their stderr files go once they have), then the count.
stop() {
  trap - INT TERM
  kill -TERM "$runner" 2>/dev/null || true
  for _ in $(seq 600); do
    compgen -G "$T/[0-9]*.err" >/dev/null || break
    sleep 0.1
  done
  summary
  echo "(stopped early)"
  exit 130
}
# Each start writes its stderr to a file of its own; only those with a
# report are kept.
seq 1 "$STARTS" | xargs -P "$PARALLEL" -I{} sh -c '
  "$BUILD/vantorel" --headless --game-dir "$BUILD/game" --frames 2 2>"$T/{}.err" >/dev/null
  status=$?
  if [ $status -ne 0 ] || grep -q "(hr=" "$T/{}.err"; then echo "status $status" >>"$T/{}.err"; mv "$T/{}.err" "$T/fail-{}.err"
  else rm -f "$T/{}.err"; fi
  echo {} >>"$T/done"' &
# In the background (where SIGINT does not reach the starts), so that a
# signal to the script is taken at once.
runner=$!
trap stop INT TERM
wait "$runner"
summary
failed=$(find "$T" -name 'fail-*.err' | wc -l)
for f in $(find "$T" -name 'fail-*.err' | head -5); do
  echo "--- $(basename "$f")"
  grep -a '(hr=\|status' "$f" | head -4
done
[ "$failed" -eq 0 ]
