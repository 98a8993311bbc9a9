#!/usr/bin/env bash
# Fades seen from outside through the trace: a picture fade steps alpha by 5
# no more often than every 0.04 s and the script goes on by itself at the
# end; a music fade-in reaches full volume after exactly 100 logic steps.
set -u
BUILD="$1"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
[ -d "$BUILD/game/GameData/Texture" ] || { echo "demo game not built; skipping"; exit 0; }
mkdir -p "$T/game/GameData/Text/オープニング" "$T/game/GameData/Music/MIDI"
cp -r "$BUILD/game/GameData/Texture" "$T/game/GameData/"
cat > "$T/src.txt" <<'SCRIPT'
Texture 廊下 BG\Corridor.dds
BG 廊下
ナレーション： はじめ
FadeOut Images
ナレーション： 消えた
FadeIn Volume
ナレーション： 音
SCRIPT
"$BUILD/vantorel-script" encode "$T/src.txt" "$T/game/GameData/Text/オープニング/オープニング1.Dat" >/dev/null || fail "encode"
# The second tap, after the picture fade, reaches the music fade.
printf '10 tap decide\n260 tap decide\n' > "$T/in.txt"
XDG_CONFIG_HOME="$T/cfg" "$BUILD/vantorel" --headless --game-dir "$T/game" --frames 420 --trace "$T/t.jsonl" \
  --input "$T/in.txt" 2>/dev/null || fail "run"
python3 - "$T/t.jsonl" <<'PY' || exit 1
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
changes = []   # (ms, alpha) of the background while it fades
prev = None
for d in lines:
    a = d["sprites"]["bg"]["alpha"]
    if prev is not None and a != prev:
        changes.append((d["ms"], a, d["frame"]))
    prev = a
assert changes, "background alpha never changed"
alphas = [a for _, a, _ in changes]
assert alphas[-1] == 0, f"fade did not end at 0: {alphas[-5:]}"
steps = [p - a for p, a in zip([255] + alphas, alphas)]
assert all(s == 5 for s in steps), f"alpha steps are not 5: {set(steps)}"
times = [ms for ms, _, _ in changes]
gaps = [b - a for a, b in zip(times, times[1:])]
assert min(gaps) >= 40, f"alpha stepped after only {min(gaps)} ms"
end_frame = changes[-1][2]
after = [d for d in lines if d["frame"] >= end_frame and "消えた" in (d.get("message") or "")]
assert after, "the script did not go on by itself after the fade"
# Music: the volume fade-in runs 50 per logic step from -5000 to 0.
vols = [(d["frame"], d["music"]["volume"]) for d in lines if "music" in d]
start = next((f for f, v in vols if v == -5000), None)
full = next((f for f, v in vols if start is not None and f > start and v == 0), None)
assert start is not None and full is not None, "the music fade-in did not run from -5000 to 0"
assert full - start == 100, f"volume reached 0 after {full - start} steps"
print("fade steps:", len(changes), "min gap ms:", min(gaps))
PY
