#!/usr/bin/env bash
# Records what the player and the trace see in every headless game the CLI
# tests play (the demo's full play-through among them): each run's trace and
# a screenshot every 50 passes, under OUT. Two snapshots of different builds
# compare with `diff -r` (or `scripts/snapshot.sh BUILD OUT --compare REF`):
# a change that should move nothing must leave them identical.
#   scripts/snapshot.sh BUILD OUT [--compare REFERENCE_OUT]
# Saves record the local time; the runs take it from libfaketime (package
# faketime) so that the load screen's slot labels do not move.
set -euo pipefail
SRC="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$(cd "$1" && pwd)"
OUT="$2"
REF="${4:-}"
[ "${3:-}" = "--compare" ] && [ -z "$REF" ] && { echo "--compare needs a directory" >&2; exit 2; }
command -v faketime >/dev/null || { echo "snapshot.sh needs faketime (apt-get install faketime)" >&2; exit 2; }
rm -rf "$OUT"; mkdir -p "$OUT"; OUT="$(cd "$OUT" && pwd)"
SHADOW="$(mktemp -d)"
trap 'rm -rf "$SHADOW"' EXIT
# What the runs keep for the player (the messages seen) stays out of the home.
export XDG_DATA_HOME="$SHADOW/player-data"
for f in "$BUILD"/*; do ln -s "$f" "$SHADOW/$(basename "$f")"; done
rm "$SHADOW/vantorel"
# The wrapper runs the real engine with screenshots added and keeps copies of
# the trace and the screenshots, numbered per test in the order of the runs.
cat > "$SHADOW/vantorel" <<WRAP
#!/usr/bin/env bash
real="$BUILD/vantorel"
n=\$(( \$(cat "\$SNAP_DIR/.count" 2>/dev/null || echo 0) + 1 )); echo \$n > "\$SNAP_DIR/.count"
run="\$SNAP_DIR/run\$(printf %02d \$n)"; mkdir -p "\$run"
args=("\$@"); extra=(); trace=""; frames=0; headless=0
for ((i = 0; i < \${#args[@]}; i++)); do
  case "\${args[i]}" in
    --trace) trace="\${args[i+1]}";;
    --frames) frames="\${args[i+1]}";;
    --headless) headless=1;;
  esac
done
if [ \$headless = 1 ] && [ "\$frames" -gt 0 ] 2>/dev/null; then
  for ((f = 0; f < frames; f += 50)); do extra+=(--screenshot "\$f:\$run/shot\$(printf %05d \$f).png"); done
fi
printf '%s\n' "\$@" | sed "s|/tmp/tmp\.[A-Za-z0-9]*|TMP|g" > "\$run/args"
# The engine runs as a child so that a test ending a windowed run with a
# signal to this wrapper ends the engine too (and no window is left behind).
FAKETIME_DONT_FAKE_MONOTONIC=1 faketime -f "@2026-01-04 10:00:00" "\$real" "\$@" "\${extra[@]}" <&0 &
child=\$!
trap 'pkill -TERM -P \$child 2>/dev/null; kill -TERM \$child 2>/dev/null' TERM INT HUP
wait \$child; status=\$?
while kill -0 \$child 2>/dev/null; do wait \$child; status=\$?; done
echo \$status > "\$run/status"
[ -n "\$trace" ] && [ -f "\$trace" ] && sed "s|/tmp/tmp\\.[A-Za-z0-9]*|TMP|g" "\$trace" > "\$run/trace.jsonl"
exit \$status
WRAP
chmod +x "$SHADOW/vantorel"
for t in "$SRC"/tests/cli/*.sh; do
  name="$(basename "$t" .sh)"
  mkdir -p "$OUT/$name"
  if SNAP_DIR="$OUT/$name" bash "$t" "$SHADOW" "$SRC" > "$SHADOW/$name.log" 2>&1; then :; else
    echo "snapshot: $name failed:" >&2; tail -5 "$SHADOW/$name.log" >&2
  fi
  rm -f "$OUT/$name/.count"
done
find "$OUT" -type d -empty -delete
echo "snapshot: $(find "$OUT" -name trace.jsonl | wc -l) traces, $(find "$OUT" -name '*.png' | wc -l) screenshots in $OUT"
if [ -n "$REF" ]; then
  if diff -r -q "$REF" "$OUT"; then echo "snapshot: identical to $REF"; else echo "snapshot: DIFFERS from $REF" >&2; exit 1; fi
fi
