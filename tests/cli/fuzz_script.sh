#!/usr/bin/env bash
# scripts/fuzz.sh passes only when every target ran to its time without a
# finding: a missing target, one that does not start, one that stops early
# and one that finds a crash all fail it. Stand-in targets play libFuzzer.
set -euo pipefail
SOURCE_DIR=$2
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A source tree of the script alone: the targets are the fuzz/*_fuzz.cpp
# there, stand-ins of which are "built" into $WORK/build/fuzz.
mkdir -p "$WORK/src/scripts" "$WORK/src/fuzz" "$WORK/build/fuzz"
cp "$SOURCE_DIR/scripts/fuzz.sh" "$WORK/src/scripts/"

# A stand-in target: BEHAVIOUR is ok, crash, early or nostart.
target() {
  local name=$1 behaviour=$2
  touch "$WORK/src/fuzz/$name.cpp"
  cat >"$WORK/build/fuzz/$name" <<EOF
#!/usr/bin/env bash
prefix=
for a in "\$@"; do case \$a in -artifact_prefix=*) prefix=\${a#-artifact_prefix=} ;; esac; done
case $behaviour in
  ok) echo "Done 1234 runs in 1 second(s)"; echo "stat::number_of_executed_units: 1234" ;;
  crash) echo "==1==ERROR: AddressSanitizer: heap-buffer-overflow"; echo x >"\${prefix}crash-1"; exit 1 ;;
  early) echo "INFO: Seed: 1" ;;
  nostart) exit 127 ;;
esac
EOF
  chmod +x "$WORK/build/fuzz/$name"
}

run() {
  local rc=0
  bash "$WORK/src/scripts/fuzz.sh" "$WORK/build" 1 "$@" >"$WORK/out.txt" 2>&1 || rc=$?
  echo "$rc"
}

[ "$(run)" = 1 ] || fail "no targets at all passed"
grep -q "no fuzz targets" "$WORK/out.txt" || fail "no targets: $(cat "$WORK/out.txt")"

target a_fuzz ok
target b_fuzz ok
[ "$(run)" = 0 ] || fail "clean targets failed: $(cat "$WORK/out.txt")"
[ "$(grep -c '^stat::number_of_executed_units: 1234' "$WORK/out.txt")" = 2 ] || fail "figures not printed"

[ "$(run a_fuzz missing_fuzz)" = 1 ] || fail "a missing target passed"
grep -q "missing_fuzz is missing" "$WORK/out.txt" || fail "missing target: $(cat "$WORK/out.txt")"
# A target of the sources that the build lacks fails the default run too.
touch "$WORK/src/fuzz/unbuilt_fuzz.cpp"
[ "$(run)" = 1 ] || fail "a target the build lacks passed"
grep -q "unbuilt_fuzz is missing" "$WORK/out.txt" || fail "unbuilt target: $(cat "$WORK/out.txt")"
rm "$WORK/src/fuzz/unbuilt_fuzz.cpp"

for behaviour in nostart early; do
  target c_fuzz $behaviour
  [ "$(run)" = 1 ] || fail "a target that does '$behaviour' passed"
  grep -q "c_fuzz did not run cleanly to its end" "$WORK/out.txt" || fail "$behaviour: $(cat "$WORK/out.txt")"
done

target c_fuzz crash
[ "$(run)" = 1 ] || fail "a crash passed"
grep -q "c_fuzz found a crashing input" "$WORK/out.txt" || fail "crash: $(cat "$WORK/out.txt")"
ls "$WORK/build/fuzz-findings/c_fuzz-crash-1" >/dev/null || fail "the crashing input was not kept"
echo "fuzz script: ok"
