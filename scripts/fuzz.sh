#!/usr/bin/env bash
# Runs libFuzzer targets of a sanitizer build from their seed corpora.
#   scripts/fuzz.sh BUILD_DIR SECONDS [TARGET...]   (default: every *_fuzz in BUILD_DIR/fuzz)
# New inputs go to a scratch folder; the seed corpus stays untouched. Prints
# the executions per target; exits 1 (keeping the input under
# BUILD_DIR/fuzz-findings) when a target finds a crash, leak or hang.
set -euo pipefail
cd "$(dirname "$0")/.."
SRC=$(pwd)
BUILD=$1
SECONDS_EACH=$2
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$BUILD"/fuzz/*_fuzz; do targets+=("$(basename "$t")"); done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$SRC/scripts/lsan.supp:print_suppressions=0}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in "${targets[@]}"; do
  mkdir -p "$work/$name"
  dict=()
  case $name in
    textfile_fuzz | msgbox_step_fuzz | savedata_fuzz) dict=(-dict="$SRC/fuzz/script.dict") ;;
  esac
  echo "-- $name, ${SECONDS_EACH}s"
  # -close_fd_mask=2 hides the engine's own failure reports (bad files are
  # the point here); sanitizer reports still come through.
  "$BUILD/fuzz/$name" "${dict[@]}" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=1536 \
    -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$work/$name-" \
    "$work/$name" "$SRC/fuzz/corpus/$name" 2>&1 |
    grep -E '^(stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)|==|SUMMARY|Done)' || true
  if ls "$work/$name"-* >/dev/null 2>&1; then
    echo "FAIL: $name found a crashing input:"; ls "$work/$name"-*
    mkdir -p "$BUILD/fuzz-findings" && cp "$work/$name"-* "$BUILD/fuzz-findings/"
    exit 1
  fi
done
