#!/usr/bin/env bash
# Runs libFuzzer targets of a sanitizer build from their seed corpora.
#   scripts/fuzz.sh BUILD_DIR SECONDS [TARGET...]   (default: one per fuzz/*_fuzz.cpp)
# New inputs go to a scratch folder; the seed corpus stays untouched. Prints
# the executions per target. Exits 1 when a target is missing, does not
# start, does not run to its time or finds a crash, leak or hang (the input
# is kept under BUILD_DIR/fuzz-findings and printed in base64 with its
# stack): a fuzz run that did not run is no clean run.
set -euo pipefail
cd "$(dirname "$0")/.."
SRC=$(pwd)
if [ $# -lt 2 ]; then
  echo "usage: scripts/fuzz.sh BUILD_DIR SECONDS [TARGET...]" >&2
  exit 2
fi
BUILD=$1
SECONDS_EACH=$2
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  # Every target the sources define, so that one the build lacks fails.
  for t in "$SRC"/fuzz/*_fuzz.cpp; do
    [ -e "$t" ] && targets+=("$(basename "$t" .cpp)")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "FAIL: no fuzz targets in $SRC/fuzz"
  exit 1
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$SRC/scripts/lsan.supp:print_suppressions=0}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in "${targets[@]}"; do
  exe="$BUILD/fuzz/$name"
  if [ ! -x "$exe" ]; then
    echo "FAIL: fuzz target $name is missing ($exe)"
    exit 1
  fi
  mkdir -p "$work/$name"
  corpus=()
  [ -d "$SRC/fuzz/corpus/$name" ] && corpus=("$SRC/fuzz/corpus/$name")
  flags=()
  case $name in
    textfile_fuzz | msgbox_step_fuzz | savedata_fuzz) flags=(-dict="$SRC/fuzz/script.dict") ;;
    po_fuzz) flags=(-dict="$SRC/fuzz/po.dict") ;;
    # Every game sets up the music synthesiser, and glib keeps a few
    # allocations from each set-up: libFuzzer would take each run for a leak
    # and rescan the heap after it, halving the runs. LeakSanitizer still
    # checks the whole process at exit.
    game_fuzz) flags=(-dict="$SRC/fuzz/game.dict" -detect_leaks=0) ;;
  esac
  echo "-- $name, ${SECONDS_EACH}s"
  log="$work/$name.log"
  status=0
  # -close_fd_mask=2 hides the engine's own failure reports (bad files are
  # the point here); sanitizer reports still come through.
  "$exe" "${flags[@]}" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=1536 \
    -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$work/$name-" \
    "$work/$name" "${corpus[@]}" >"$log" 2>&1 || status=$?
  grep -E '^(stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)|==|SUMMARY|Done)' "$log" || true
  if ls "$work/$name"-* >/dev/null 2>&1; then
    echo "FAIL: $name found a crashing input:"; ls "$work/$name"-*
    # The scratch folder goes with the machine: the log keeps the input
    # (base64, to replay with base64 -d) and where it stopped.
    for found in "$work/$name"-*; do echo "input $(basename "$found"): $(base64 -w0 "$found")"; done
    grep -E '^ +#[0-9]+ ' "$log" | head -n 40 || true
    mkdir -p "$BUILD/fuzz-findings" && cp "$work/$name"-* "$BUILD/fuzz-findings/"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$status" -ne 0 ] || ! grep -q '^Done [0-9]* runs' "$log" || [ "${runs:-0}" -eq 0 ]; then
    echo "FAIL: $name did not run cleanly to its end (exit status $status, ${runs:-no} executions):"
    tail -n 20 "$log"
    exit 1
  fi
done
